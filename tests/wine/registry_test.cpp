// The registry helpers and macro persistence against the real registry.
#include <gtest/gtest.h>

#include <string>

#include "macros/macros.h"
#include "platform/win32/win32_platform.h"
#include "registry/reghelpers.h"

namespace {

constexpr svp::RegKey kLm = svp::kHKeyLocalMachine;
const char kBase[] = "SOFTWARE\\SvTestRegistry";

void PutValue(const std::string& path, const std::string& name, uint32_t type,
              const std::string& bytes) {
  svp::RegKey key = 0;
  bool created = false;
  ASSERT_EQ(0u, svp::Reg().CreateKey(kLm, path, svp::kRegOptionNonVolatile, svp::kKeyAllAccess,
                                     &key, &created));
  ASSERT_EQ(0u, svp::Reg().SetValue(key, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                                    static_cast<uint32_t>(bytes.size())));
  svp::Reg().CloseKey(key);
}

void PutString(const std::string& path, const std::string& name, const std::string& value,
               uint32_t type = svp::kRegSz) {
  PutValue(path, name, type, std::string(value.c_str(), value.size() + 1));
}

// The text of a value and its type; "<absent>" when it cannot be read.
std::string GetValue(const std::string& path, const std::string& name, uint32_t* type = nullptr) {
  svp::RegKey key = 0;
  if (svp::Reg().OpenKey(kLm, path, svp::kKeyRead, &key) != 0) return "<absent>";
  uint8_t data[1024] = {};
  uint32_t size = sizeof(data) - 1;
  uint32_t t = 0;
  const uint32_t status = svp::Reg().QueryValue(key, name, &t, data, &size);
  svp::Reg().CloseKey(key);
  if (status != 0) return "<absent>";
  if (type != nullptr) *type = t;
  return std::string(reinterpret_cast<const char*>(data));
}

void MakeKey(const std::string& path) {
  svp::RegKey key = 0;
  bool created = false;
  ASSERT_EQ(0u, svp::Reg().CreateKey(kLm, path, svp::kRegOptionNonVolatile, svp::kKeyAllAccess,
                                     &key, &created));
  svp::Reg().CloseKey(key);
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.Install();
    SvRegDeleteTree(kLm, kBase);
    SvRegDeleteTree(kLm, "SOFTWARE\\SvTestOrris");
    MakeKey(kBase);
  }
  void TearDown() override {
    SvRegDeleteTree(kLm, kBase);
    SvRegDeleteTree(kLm, "SOFTWARE\\SvTestOrris");
  }

  svp::Win32Platform platform_;
};

TEST_F(RegistryTest, DeleteTreeRemovesSubkeysButNotAKeyWithSubkeysDirectly) {
  const std::string tree = std::string(kBase) + "\\Tree";
  MakeKey(tree + "\\A\\A1\\A11");
  MakeKey(tree + "\\B");
  PutString(tree + "\\A\\A1", "v", "x");
  // The platform itself refuses to delete a key that still has subkeys.
  EXPECT_NE(0u, svp::Reg().DeleteKey(kLm, tree));
  EXPECT_TRUE(SvRegKeyExists(tree + "\\A\\A1\\A11"));

  EXPECT_EQ(1010u, SvRegDeleteTree(kLm, ""));
  EXPECT_EQ(2u, SvRegDeleteTree(kLm, "SOFTWARE\\SvTestRegistry\\None"));
  EXPECT_EQ(0u, SvRegDeleteTree(kLm, tree.c_str()));
  EXPECT_FALSE(SvRegKeyExists(tree));
  EXPECT_TRUE(SvRegKeyExists(kBase));
}

TEST_F(RegistryTest, EditListKeepsExpandStringsAndTheSemicolonQuirks) {
  const std::string key = std::string(kBase) + "\\Env";
  PutString(key, "Path", "%SystemRoot%;C:\\SV", svp::kRegExpandSz);
  uint32_t type = 0;
  EXPECT_EQ(0, SvRegEditList(key, "Path", "C:\\SV", 3));
  EXPECT_EQ("%SystemRoot%;", GetValue(key, "Path", &type));
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegExpandSz), type);
  EXPECT_EQ(0, SvRegEditList(key, "Path", "C:\\New", 1));
  EXPECT_EQ("%SystemRoot%;C:\\New", GetValue(key, "Path", &type));
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegExpandSz), type);
  EXPECT_EQ(0, SvRegEditList(key, "Path", "C:\\First", 2));
  EXPECT_EQ("C:\\First;%SystemRoot%;C:\\New", GetValue(key, "Path", &type));
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegExpandSz), type);

  PutString(key, "List", "XA;Y");
  EXPECT_EQ(0, SvRegEditList(key, "List", "A", 3));
  EXPECT_EQ("XY;", GetValue(key, "List"));
  EXPECT_EQ(0, SvRegEditList(key, "Missing", "A", 3));
  EXPECT_EQ("<absent>", GetValue(key, "Missing"));
  EXPECT_EQ(2, SvRegEditList(std::string(kBase) + "\\NoKey", "List", "A", 1));

  std::string out;
  EXPECT_EQ(4u, SvRegGetString(key, "List", out));
  EXPECT_EQ("XY;", out);
}

TEST_F(RegistryTest, MacroPersistenceAgainstTheRegistry) {
  const std::string key = std::string(kBase) + "\\Config";
  PutString(key, "InstallMode", "Custom");
  PutValue(key, "Reinstall", svp::kRegDword, std::string("\x01\x00\x00\x00", 4));
  PutString(key, "Long", std::string(300, 'x'));

  CSvMacroList macros(kLm, key);
  EXPECT_EQ(0u, macros.AddMacro("InstallMode", "Typical", 0));
  EXPECT_EQ(0u, macros.AddMacro("Reinstall", "FALSE", 0));
  EXPECT_EQ(0u, macros.AddMacro("Long", "default", 0));
  EXPECT_EQ(0u, macros.AddMacro("Absent", "default", 0));
  std::string value;
  macros.GetMacroValue("InstallMode", value);
  EXPECT_EQ("Custom", value);
  EXPECT_EQ(4u, macros.LoadMacroFromRegistry("Reinstall"));
  macros.GetMacroValue("Reinstall", value);
  EXPECT_EQ("FALSE", value);
  EXPECT_EQ(3u, macros.LoadMacroFromRegistry("Long"));
  macros.GetMacroValue("Long", value);
  EXPECT_EQ("default", value);
  EXPECT_EQ(3u, macros.LoadMacroFromRegistry("Absent"));

  macros.AddMacro("_REQUIRED", "TRUE", SV_MACRO_VOLATILE);
  macros.SetMacroValue("Absent", "written");
  EXPECT_EQ(0u, macros.SaveMacrosToRegistry("absent"));
  uint32_t type = 0;
  EXPECT_EQ("written", GetValue(key, "Absent", &type));
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegSz), type);
  EXPECT_EQ(0u, macros.SaveMacrosToRegistry("*"));
  EXPECT_EQ("<absent>", GetValue(key, "_REQUIRED"));
  EXPECT_EQ("FALSE", GetValue(key, "Reinstall", &type));
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegSz), type);
}

TEST_F(RegistryTest, MoveValuesCopiesAndPrunesEmptiedParents) {
  const std::string source = "SOFTWARE\\SvTestOrris\\SOLVANE\\Setup\\CurrentConfiguration";
  const std::string destination = std::string(kBase) + "\\New\\CurrentConfiguration";
  PutString(source, "InstallMode", "Custom");
  PutString(source, "Dir", "%SystemRoot%\\sv", svp::kRegExpandSz);
  PutValue(source, "Count", svp::kRegDword, std::string("\x07\x00\x00\x00", 4));
  MakeKey("SOFTWARE\\SvTestOrris\\Keep");

  EXPECT_EQ(0, SvRegMoveValues(destination, source, "SvTestOrris"));
  uint32_t type = 0;
  EXPECT_EQ("Custom", GetValue(destination, "InstallMode"));
  EXPECT_EQ("%SystemRoot%\\sv", GetValue(destination, "Dir", &type));
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegExpandSz), type);
  uint8_t count[4] = {};
  uint32_t size = sizeof(count);
  EXPECT_TRUE(SvRegQueryValue(destination, "Count", count, &size));
  EXPECT_EQ(7, count[0]);
  EXPECT_FALSE(SvRegKeyExists("SOFTWARE\\SvTestOrris\\SOLVANE"));
  EXPECT_TRUE(SvRegKeyExists("SOFTWARE\\SvTestOrris\\Keep"));
  EXPECT_TRUE(SvRegKeyExists("SOFTWARE"));
  EXPECT_EQ(2, SvRegMoveValues(destination, source, "SvTestOrris"));

  // No values: no destination, the emptied path still goes up to the cut-off.
  MakeKey("SOFTWARE\\SvTestOrris\\Empty\\Setup");
  SvRegDeleteTree(kLm, "SOFTWARE\\SvTestOrris\\Keep");
  EXPECT_EQ(0, SvRegMoveValues(std::string(kBase) + "\\Nothing",
                               "SOFTWARE\\SvTestOrris\\Empty\\Setup", "SvTestOrris"));
  EXPECT_FALSE(SvRegKeyExists(std::string(kBase) + "\\Nothing"));
  EXPECT_FALSE(SvRegKeyExists("SOFTWARE\\SvTestOrris"));
}

}  // namespace
