#include "macros/macros.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_platform.h"

namespace {

const char kKey[] = "Software\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";

class MacroListTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_.Install(); }

  std::string Value(const char* name) const {
    std::string out;
    macros_.GetMacroValue(name, out);
    return out;
  }
  std::string Expand(const char* input, uint32_t expected) const {
    std::string out = "junk";
    EXPECT_EQ(expected, macros_.ExpandMacros(input, out)) << input;
    return out;
  }
  bool Stored(const char* name, std::string* value = nullptr) {
    std::string v;
    const bool found = platform_.registry().GetString(svp::kHKeyLocalMachine, kKey, name, &v);
    if (value != nullptr) *value = v;
    return found;
  }

  svp::MemoryPlatform platform_;
  CSvMacroList macros_{svp::kHKeyLocalMachine, kKey};
};

TEST_F(MacroListTest, ExpansionIsOnePassWithoutNesting) {
  macros_.AddMacro("LDID_SYS", "D:\\WINNT\\system32", SV_MACRO_VOLATILE);
  macros_.AddMacro("REF", "{LDID_SYS}", SV_MACRO_VOLATILE);

  EXPECT_EQ("D:\\WINNT\\system32\\drivers", Expand("{LDID_SYS}\\drivers", 0));
  EXPECT_EQ("\\x", Expand("{NOSUCH}\\x", 0));
  EXPECT_EQ("ad", Expand("a{b{c}d", 0));  // looks up "b{c"
  EXPECT_EQ("abc", Expand("abc{LDID_SYS", 7));
  EXPECT_EQ("a}b", Expand("a}b", 0));
  EXPECT_EQ("{LDID_SYS}", Expand("{REF}", 0));
  EXPECT_EQ("xy", Expand("x{ LDID_SYS }{}y", 0));
  EXPECT_EQ("", Expand("{", 7));
  EXPECT_EQ("", Expand(nullptr, 5));
  macros_.AddMacro("b{c", "X", SV_MACRO_VOLATILE);
  EXPECT_EQ("aXd", Expand("a{b{c}d", 0));

  std::string out;
  EXPECT_EQ(0u, macros_.ExpandMacros("%LDID_SYS%x", out, '%', '%'));
  EXPECT_EQ("D:\\WINNT\\system32x", out);
}

TEST_F(MacroListTest, AddSetGetAndRestore) {
  EXPECT_EQ(0u, macros_.AddMacro("Name", "one", SV_MACRO_VOLATILE));
  EXPECT_EQ(1u, macros_.AddMacro("Name", "two", SV_MACRO_VOLATILE));
  EXPECT_EQ("one", Value("Name"));
  EXPECT_EQ(0u, macros_.AddMacro("Name", "three", SV_MACRO_OVERWRITE | SV_MACRO_VOLATILE));
  EXPECT_EQ("three", Value("Name"));
  // Names are case-sensitive: a second macro.
  EXPECT_EQ(0u, macros_.AddMacro("NAME", "upper", SV_MACRO_VOLATILE));
  EXPECT_EQ("three", Value("Name"));

  std::string out = "keep";
  EXPECT_EQ(2u, macros_.GetMacroValue("Missing", out));
  EXPECT_EQ("Missing", out);
  out = "keep";
  EXPECT_EQ(5u, macros_.GetMacroValue(nullptr, out));
  EXPECT_EQ(2u, macros_.GetSavedMacroValue("Missing", out));
  EXPECT_EQ(5u, macros_.GetSavedMacroValue(nullptr, out));
  EXPECT_EQ("keep", out);
  EXPECT_EQ(0u, macros_.GetSavedMacroValue("Name", out));
  EXPECT_EQ("one", out);  // overwriting leaves the saved value

  EXPECT_EQ(5u, macros_.SetMacroValue(nullptr, "x"));
  EXPECT_EQ(5u, macros_.SetMacroValue("Name", nullptr));
  EXPECT_EQ(2u, macros_.SetMacroValue("Missing", "x"));
  EXPECT_FALSE(macros_.HasMacro("Missing"));
  EXPECT_EQ(0u, macros_.SetMacroValue("NAME", "changed"));

  EXPECT_EQ(2u, macros_.RestoreMacro("Missing"));
  EXPECT_EQ(0u, macros_.RestoreMacro("Name"));
  EXPECT_EQ("one", Value("Name"));
  EXPECT_EQ("changed", Value("NAME"));
  macros_.SetMacroValue("Name", "again");
  EXPECT_EQ(0u, macros_.RestoreMacro("*"));
  EXPECT_EQ("one", Value("Name"));
  EXPECT_EQ("upper", Value("NAME"));
}

TEST_F(MacroListTest, BooleansAndNegation) {
  macros_.AddMacro("A", "yes", SV_MACRO_VOLATILE);
  macros_.AddMacro("B", "On", SV_MACRO_VOLATILE);
  macros_.AddMacro("C", "enabled", SV_MACRO_VOLATILE);
  macros_.AddMacro("D", "1", SV_MACRO_VOLATILE);
  macros_.AddMacro("E", " TRUE", SV_MACRO_VOLATILE);
  macros_.AddMacro("Reinstall", "FALSE", SV_MACRO_VOLATILE);
  EXPECT_TRUE(macros_.IsMacroTrue("A"));
  EXPECT_TRUE(macros_.IsMacroTrue("B"));
  EXPECT_TRUE(macros_.IsMacroTrue("C"));
  EXPECT_FALSE(macros_.IsMacroTrue("D"));
  EXPECT_FALSE(macros_.IsMacroTrue("E"));
  EXPECT_FALSE(macros_.IsMacroTrue("a"));
  EXPECT_FALSE(macros_.IsMacroTrue(""));
  EXPECT_FALSE(macros_.IsMacroTrue(nullptr));
  EXPECT_TRUE(macros_.IsMacroTrue("!Reinstall"));
  EXPECT_FALSE(macros_.IsMacroTrue("!A"));
  EXPECT_TRUE(macros_.IsMacroTrue("!"));
  EXPECT_TRUE(macros_.IsMacroTrue("!Nothing"));

  macros_.SetMacroBool("Reinstall", 7);
  EXPECT_EQ("TRUE", Value("Reinstall"));
  macros_.SetMacroBool("Reinstall", 0);
  EXPECT_EQ("FALSE", Value("Reinstall"));
  macros_.SetMacroBool("Absent", 1);
  macros_.SetMacroBool(nullptr, 1);
  EXPECT_FALSE(macros_.HasMacro("Absent"));
}

TEST_F(MacroListTest, PersistentMacrosLoadFromTheKeyAtCreation) {
  auto& reg = platform_.registry();
  reg.SetString(svp::kHKeyLocalMachine, kKey, "InstallMode", "Custom");
  reg.SetDword(svp::kHKeyLocalMachine, kKey, "Reinstall", 1);
  reg.SetString(svp::kHKeyLocalMachine, kKey, "Long", std::string(300, 'x'));
  reg.SetString(svp::kHKeyLocalMachine, kKey, "Max", std::string(254, 'm'));
  reg.SetString(svp::kHKeyLocalMachine, kKey, "TooLong", std::string(255, 't'));
  reg.SetString(svp::kHKeyLocalMachine, kKey, "Expand", "%x%", svp::kRegExpandSz);
  reg.SetString(svp::kHKeyLocalMachine, kKey, "Volatile", "from registry");

  EXPECT_EQ(0u, macros_.AddMacro("InstallMode", "Typical", 0));
  EXPECT_EQ("Custom", Value("InstallMode"));
  EXPECT_EQ(0u, macros_.AddMacro("Reinstall", "FALSE", 0));
  EXPECT_EQ("FALSE", Value("Reinstall"));
  EXPECT_EQ(4u, macros_.LoadMacroFromRegistry("Reinstall"));
  EXPECT_EQ(0u, macros_.AddMacro("Volatile", "default", SV_MACRO_VOLATILE));
  EXPECT_EQ("default", Value("Volatile"));

  for (const char* name : {"Long", "TooLong", "Max", "Expand", "NotThere"}) {
    macros_.AddMacro(name, "default", SV_MACRO_VOLATILE);
  }
  EXPECT_EQ(3u, macros_.LoadMacroFromRegistry("Long"));
  EXPECT_EQ(3u, macros_.LoadMacroFromRegistry("TooLong"));
  EXPECT_EQ(3u, macros_.LoadMacroFromRegistry("NotThere"));
  EXPECT_EQ(4u, macros_.LoadMacroFromRegistry("Expand"));
  EXPECT_EQ("default", Value("Long"));
  EXPECT_EQ("default", Value("Expand"));
  EXPECT_EQ(0u, macros_.LoadMacroFromRegistry("Max"));
  EXPECT_EQ(std::string(254, 'm'), Value("Max"));
  EXPECT_EQ(2u, macros_.LoadMacroFromRegistry("Unknown"));
  EXPECT_EQ(5u, macros_.LoadMacroFromRegistry(nullptr));

  // The registry value becomes the saved value too.
  macros_.SetMacroValue("InstallMode", "Minimal");
  macros_.RestoreMacro("InstallMode");
  EXPECT_EQ("Custom", Value("InstallMode"));
}

TEST_F(MacroListTest, LoadFailsWhenTheKeyCannotBeOpened) {
  macros_.AddMacro("X", "default", SV_MACRO_VOLATILE);
  EXPECT_EQ(3u, macros_.LoadMacroFromRegistry("X"));  // no key yet
  platform_.registry().SetString(svp::kHKeyLocalMachine, kKey, "X", "stored");
  platform_.registry().DenyAccess(svp::kHKeyLocalMachine, kKey, true);
  EXPECT_EQ(3u, macros_.LoadMacroFromRegistry("X"));
  EXPECT_EQ(3u, macros_.SaveMacrosToRegistry("*"));
  EXPECT_EQ("default", Value("X"));
}

TEST_F(MacroListTest, SavingWritesPersistentMacrosOnly) {
  macros_.AddMacro("StartNetwork", "FALSE", 0);
  macros_.AddMacro("Reinstall", "FALSE", 0);
  macros_.AddMacro("_REQUIRED", "TRUE", SV_MACRO_VOLATILE);
  macros_.AddMacro("LDID_KITROOT", "D:\\KIT", SV_MACRO_VOLATILE);
  macros_.AddMacro("Grp_GROUP_COPIED", "TRUE", SV_MACRO_OVERWRITE | SV_MACRO_VOLATILE);

  EXPECT_EQ(0u, macros_.SaveMacrosToRegistry("startnetwork"));
  std::string value;
  EXPECT_TRUE(Stored("StartNetwork", &value));
  EXPECT_EQ("FALSE", value);
  EXPECT_FALSE(Stored("Reinstall"));
  EXPECT_EQ(0u, macros_.SaveMacrosToRegistry("_REQUIRED"));
  EXPECT_FALSE(Stored("_REQUIRED"));

  macros_.SetMacroValue("StartNetwork", "TRUE");
  EXPECT_EQ(0u, macros_.SaveMacrosToRegistry("*"));
  EXPECT_TRUE(Stored("StartNetwork", &value));
  EXPECT_EQ("TRUE", value);
  EXPECT_TRUE(Stored("Reinstall"));
  EXPECT_FALSE(Stored("_REQUIRED"));
  EXPECT_FALSE(Stored("LDID_KITROOT"));
  EXPECT_FALSE(Stored("Grp_GROUP_COPIED"));

  // The written value has REG_SZ type and comes back on the next run.
  uint32_t type = 0;
  EXPECT_TRUE(platform_.registry().GetString(svp::kHKeyLocalMachine, kKey, "StartNetwork", &value,
                                             &type));
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegSz), type);
  CSvMacroList next(svp::kHKeyLocalMachine, kKey);
  next.AddMacro("StartNetwork", "", 0);
  next.GetMacroValue("StartNetwork", value);
  EXPECT_EQ("TRUE", value);
}

// A file system that knows 8.3 names for the two long directory names used here.
class ShortNameFileSystem : public svp::MemoryFileSystem {
 public:
  ShortNameFileSystem() : svp::MemoryFileSystem(&shared_) {}
  uint32_t GetShortPathName(const std::string& path, uint32_t size, std::string* out) override {
    std::string result;
    if (svp::MemoryFileSystem::GetShortPathName(path, size, &result) == 0) return 0;
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"Program Files", "PROGRA~1"},
                                   {"Solvane Client", "SOLVAN~1"}}) {
      const size_t at = result.find(from);
      if (at != std::string::npos) result.replace(at, from.size(), to);
    }
    *out = result;
    return static_cast<uint32_t>(result.size());
  }

 private:
  svp::MemoryShared shared_;
};

TEST_F(MacroListTest, ProductDirectoryIsSavedInShortFormWhenItExists) {
  ShortNameFileSystem files;
  svp::Platform platform = svp::Get();
  platform.fs = &files;
  svp::Install(platform);
  files.MakeDirectory("C:\\Program Files\\Solvane Client");

  macros_.AddMacro("LDID_SV", "C:\\Program Files\\Solvane Client", 0);
  macros_.AddMacro("LDID_SV_LONG", "C:\\Program Files\\Solvane Client", 0);
  macros_.AddMacro("TNP_DatabasePath", "C:\\Program Files", 0);
  EXPECT_EQ(0u, macros_.SaveMacrosToRegistry("*"));

  std::string value;
  EXPECT_TRUE(Stored("LDID_SV", &value));
  EXPECT_EQ("C:\\PROGRA~1\\SOLVAN~1", value);
  EXPECT_TRUE(Stored("TNP_DatabasePath", &value));
  EXPECT_EQ("C:\\PROGRA~1", value);
  // Only those two exact names are shortened.
  EXPECT_TRUE(Stored("LDID_SV_LONG", &value));
  EXPECT_EQ("C:\\Program Files\\Solvane Client", value);

  // A directory that does not exist is written in its long form.
  macros_.SetMacroValue("LDID_SV", "C:\\No Such Directory\\Database");
  EXPECT_EQ(0u, macros_.SaveMacrosToRegistry("LDID_SV"));
  EXPECT_TRUE(Stored("LDID_SV", &value));
  EXPECT_EQ("C:\\No Such Directory\\Database", value);
  platform_.Install();
}

}  // namespace
