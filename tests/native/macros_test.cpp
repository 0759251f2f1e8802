#include "macros/macros.h"

#include <algorithm>
#include <string>

#include "wizard_test_support.h"

namespace {

constexpr svp::RegKey kLm = svp::kHKeyLocalMachine;

class MacroListTest : public WorkstationFixture {
 protected:
  // "<code>:<value handed back>" of the current or the saved value.
  std::string Get(const char* name, bool saved = false) const {
    std::string out = "keep";
    const uint32_t code =
        saved ? macros_.GetSavedMacroValue(name, out) : macros_.GetMacroValue(name, out);
    return std::to_string(code) + ":" + out;
  }
  std::string Expand(const char* input, char open = '{', char close = '}') const {
    std::string out = "junk";
    return std::to_string(macros_.ExpandMacros(input, out, open, close)) + ":" + out;
  }
  void Store(const char* name, const std::string& value, uint32_t type = svp::kRegSz) {
    registry().SetString(kLm, kConfigKey, name, value, type);
  }
  // Every value of the key, sorted by name, as "name=text"; only REG_SZ is expected.
  std::string Key() {
    std::vector<std::string> names = registry().ValueNames(kLm, kConfigKey);
    std::sort(names.begin(), names.end());
    std::string out, value;
    uint32_t type = 0;
    for (const std::string& name : names) {
      registry().GetString(kLm, kConfigKey, name, &value, &type);
      out += name + "=" + value + (type == svp::kRegSz ? " " : " (not REG_SZ) ");
    }
    return out;
  }

  CSvMacroList macros_{kLm, kConfigKey};
};

TEST_F(MacroListTest, ExpansionIsOnePassWithoutNesting) {
  macros_.AddMacro("LDID_SYS", "D:\\WINNT\\system32", SV_MACRO_VOLATILE);
  macros_.AddMacro("REF", "{LDID_SYS}", SV_MACRO_VOLATILE);
  const std::pair<const char*, const char*> cases[] = {
      {"{LDID_SYS}\\drivers", "0:D:\\WINNT\\system32\\drivers"},
      {"{NOSUCH}\\x", "0:\\x"},
      {"a{b{c}d", "0:ad"},  // looks up "b{c"
      {"abc{LDID_SYS", "7:abc"},
      {"a}b", "0:a}b"},
      {"{REF}", "0:{LDID_SYS}"},
      {"x{ LDID_SYS }{}y", "0:xy"},
      {"{", "7:"},
      {nullptr, "5:"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(expected, Expand(input)) << input;
  macros_.AddMacro("b{c", "X", SV_MACRO_VOLATILE);
  EXPECT_EQ("0:aXd", Expand("a{b{c}d"));
  EXPECT_EQ("0:D:\\WINNT\\system32x", Expand("%LDID_SYS%x", '%', '%'));
}

TEST_F(MacroListTest, AddSetGetAndRestore) {
  EXPECT_EQ(0u, macros_.AddMacro("Name", "one", SV_MACRO_VOLATILE));
  EXPECT_EQ(1u, macros_.AddMacro("Name", "two", SV_MACRO_VOLATILE));
  EXPECT_EQ("0:one", Get("Name"));
  EXPECT_EQ(0u, macros_.AddMacro("Name", "three", SV_MACRO_OVERWRITE | SV_MACRO_VOLATILE));
  EXPECT_EQ(0u, macros_.AddMacro("NAME", "upper", SV_MACRO_VOLATILE));  // names are case-sensitive
  EXPECT_EQ("0:three", Get("Name"));
  EXPECT_EQ("0:one", Get("Name", true));  // overwriting leaves the saved value
  EXPECT_EQ("2:Missing", Get("Missing"));
  EXPECT_EQ("5:keep", Get(nullptr));
  EXPECT_EQ("2:keep", Get("Missing", true));
  EXPECT_EQ("5:keep", Get(nullptr, true));
  EXPECT_EQ(5u, macros_.SetMacroValue(nullptr, "x"));
  EXPECT_EQ(5u, macros_.SetMacroValue("Name", nullptr));
  EXPECT_EQ(2u, macros_.SetMacroValue("Missing", "x"));
  EXPECT_FALSE(macros_.HasMacro("Missing"));

  EXPECT_EQ(0u, macros_.SetMacroValue("NAME", "changed"));
  EXPECT_EQ(2u, macros_.RestoreMacro("Missing"));
  EXPECT_EQ(0u, macros_.RestoreMacro("Name"));
  EXPECT_EQ("0:one", Get("Name"));
  EXPECT_EQ("0:changed", Get("NAME"));
  macros_.SetMacroValue("Name", "again");
  EXPECT_EQ(0u, macros_.RestoreMacro("*"));
  EXPECT_EQ("0:one", Get("Name"));
  EXPECT_EQ("0:upper", Get("NAME"));
}

TEST_F(MacroListTest, BooleansAndNegation) {
  for (const auto& [name, value] : {std::pair{"A", "yes"},
                                    {"B", "On"},
                                    {"C", "enabled"},
                                    {"D", "1"},
                                    {"E", " TRUE"},
                                    {"Reinstall", "FALSE"}})
    macros_.AddMacro(name, value, SV_MACRO_VOLATILE);
  const std::pair<const char*, bool> cases[] = {
      {"A", true},   {"B", true},          {"C", true}, {"D", false},
      {"E", false},  {"a", false},         {"", false}, {nullptr, false},
      {"!A", false}, {"!Reinstall", true}, {"!", true}, {"!Nothing", true},
  };
  for (const auto& [expression, result] : cases)
    EXPECT_EQ(result, macros_.IsMacroTrue(expression)) << (expression ? expression : "null");
  macros_.SetMacroBool("Reinstall", 7);
  EXPECT_EQ("0:TRUE", Get("Reinstall"));
  macros_.SetMacroBool("Reinstall", 0);
  EXPECT_EQ("0:FALSE", Get("Reinstall"));
  macros_.SetMacroBool("Absent", 1);
  macros_.SetMacroBool(nullptr, 1);
  EXPECT_FALSE(macros_.HasMacro("Absent"));
}

TEST_F(MacroListTest, PersistentMacrosLoadFromTheKey) {
  macros_.AddMacro("X", "default", SV_MACRO_VOLATILE);
  Store("InstallMode", "Custom");
  registry().SetDword(kLm, kConfigKey, "Reinstall", 1);
  Store("Max", std::string(254, 'm'));
  Store("TooLong", std::string(255, 't'));
  Store("Expand", "%x%", svp::kRegExpandSz);
  Store("Volatile", "from registry");
  // Flags 0 load at once; volatile ones never do.
  EXPECT_EQ(0u, macros_.AddMacro("InstallMode", "Typical", 0));
  EXPECT_EQ(0u, macros_.AddMacro("Reinstall", "FALSE", 0));
  for (const char* name : {"TooLong", "Max", "Expand", "NotThere", "Volatile"})
    macros_.AddMacro(name, "default", SV_MACRO_VOLATILE);
  EXPECT_EQ("0:Custom", Get("InstallMode"));
  EXPECT_EQ("0:FALSE", Get("Reinstall"));
  EXPECT_EQ("0:default", Get("Volatile"));

  const std::pair<const char*, uint32_t> codes[] = {{"Reinstall", 4}, {"TooLong", 3}, {"NotThere", 3},
                                                    {"Expand", 4},    {"Unknown", 2}, {nullptr, 5},
                                                    {"Max", 0}};
  for (const auto& [name, code] : codes)
    EXPECT_EQ(code, macros_.LoadMacroFromRegistry(name)) << (name ? name : "null");
  EXPECT_EQ("0:default", Get("TooLong"));
  EXPECT_EQ("0:default", Get("Expand"));
  EXPECT_EQ("0:" + std::string(254, 'm'), Get("Max"));
  // The registry value becomes the saved value too.
  macros_.SetMacroValue("InstallMode", "Minimal");
  macros_.RestoreMacro("InstallMode");
  EXPECT_EQ("0:Custom", Get("InstallMode"));

  Store("X", "stored");
  registry().DenyAccess(kLm, kConfigKey, true);
  EXPECT_EQ(3u, macros_.LoadMacroFromRegistry("X"));
  EXPECT_EQ(3u, macros_.SaveMacrosToRegistry("*"));
  EXPECT_EQ("0:default", Get("X"));
}

// Its short names are the long ones in capitals.
class ShortNameFileSystem : public svp::MemoryFileSystem {
 public:
  ShortNameFileSystem() : svp::MemoryFileSystem(&shared_) {}
  uint32_t GetShortPathName(const std::string& path, uint32_t size, std::string* out) override {
    const uint32_t length = svp::MemoryFileSystem::GetShortPathName(path, size, out);
    if (length != 0) std::transform(out->begin(), out->end(), out->begin(), ::toupper);
    return length;
  }
  svp::MemoryShared shared_;
};

TEST_F(MacroListTest, SavingWritesPersistentMacrosWithTheProductDirectoryInShortForm) {
  ShortNameFileSystem files;
  svp::Platform withShortNames = svp::Get();
  withShortNames.fs = &files;
  svp::ScopedPlatform installed(withShortNames);
  files.MakeDirectory("C:\\Program Files\\Sv");
  macros_.AddMacro("StartNetwork", "FALSE", 0);
  macros_.AddMacro("Reinstall", "FALSE", 0);
  macros_.AddMacro("_REQUIRED", "TRUE", SV_MACRO_VOLATILE);
  macros_.AddMacro("Grp_GROUP_COPIED", "TRUE", SV_MACRO_OVERWRITE | SV_MACRO_VOLATILE);
  macros_.AddMacro("LDID_SV", "C:\\Program Files\\Sv", 0);
  macros_.AddMacro("LDID_SV_LONG", "C:\\Program Files\\Sv", 0);
  macros_.AddMacro("TNP_DatabasePath", "C:\\Program Files", 0);

  EXPECT_EQ(0u, macros_.SaveMacrosToRegistry("startnetwork"));
  EXPECT_EQ(0u, macros_.SaveMacrosToRegistry("_REQUIRED"));
  EXPECT_EQ("StartNetwork=FALSE ", Key());
  // Only those two exact names are shortened, and only when the directory exists.
  macros_.SetMacroValue("StartNetwork", "TRUE");
  EXPECT_EQ(0u, macros_.SaveMacrosToRegistry("*"));
  EXPECT_EQ(
      "LDID_SV=C:\\PROGRAM FILES\\SV LDID_SV_LONG=C:\\Program Files\\Sv Reinstall=FALSE "
      "StartNetwork=TRUE TNP_DatabasePath=C:\\PROGRAM FILES ",
      Key());
  macros_.SetMacroValue("LDID_SV", "C:\\No Such Directory");
  EXPECT_EQ(0u, macros_.SaveMacrosToRegistry("LDID_SV"));
  EXPECT_EQ(0u, Key().find("LDID_SV=C:\\No Such Directory "));
}

}  // namespace
