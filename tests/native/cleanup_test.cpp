// Clean-up outside the product's files: adapter addresses, Path and KSTA,
// AUTOEXEC.NT and the product directories.
#include <string>

#include "phase_test_support.h"
#include "registry/cleanup.h"

namespace {

constexpr svp::RegKey kHklm = svp::kHKeyLocalMachine;
constexpr const char* kCards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr const char* kEnvironment =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

class CleanupTest : public PhaseFixture {
 protected:
  void Adapter(int index, const std::string& service, const char* address) {
    registry().SetString(kHklm, std::string(kCards) + "\\" + std::to_string(index), "ServiceName",
                         service);
    const std::string parameters = "SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Parameters";
    registry().CreateKeyPath(kHklm, parameters);
    if (address != nullptr) registry().SetString(kHklm, parameters, "NetworkAddress", address);
  }
  bool HasAddress(const std::string& service) {
    return registry().ValueExists(
        kHklm, "SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Parameters", "NetworkAddress");
  }
  // "<absent>", or the text with " (expand)" for REG_EXPAND_SZ.
  std::string Env(const char* name) {
    std::string value = "<absent>";
    uint32_t type = 0;
    registry().GetString(kHklm, kEnvironment, name, &value, &type);
    return type == svp::kRegExpandSz ? value + " (expand)" : value;
  }
};

TEST_F(CleanupTest, OnlyProtocolAssignedAddressesAreRemovedFromEveryAdapter) {
  Adapter(1, "E100B1", "aa0004001C08");
  Adapter(2, "NE20002", "02608C123456");
  Adapter(3, "CPQNF31", nullptr);
  Adapter(4, "EL59X4", "AA00040");  // too short to carry the mark
  registry().CreateKeyPath(kHklm, std::string(kCards) + "\\5");  // no ServiceName
  // More adapters than the original table of 40 had room for.
  for (int i = 6; i <= 45; ++i) Adapter(i, "TRL" + std::to_string(i), "AA000400FFFF");
  SvResetAdapterAddresses();
  EXPECT_FALSE(HasAddress("E100B1"));
  EXPECT_TRUE(HasAddress("NE20002"));
  EXPECT_TRUE(HasAddress("EL59X4"));
  EXPECT_FALSE(HasAddress("TRL6"));
  EXPECT_FALSE(HasAddress("TRL45"));
  EXPECT_EQ("", Log());
}

TEST_F(CleanupTest, ProductDirectoryLeavesPathAndKstaAsTheListEditorCutsIt) {
  Define("LDID_SV", "C:\\sv32");
  registry().SetString(kHklm, kEnvironment, "Path", "C:\\WINNT\\system32;C:\\SV32;C:\\TOOLS",
                       svp::kRegExpandSz);
  registry().SetString(kHklm, kEnvironment, "KSTA", "C:\\SV32");
  EXPECT_EQ(0u, SvCleanEnvironment(kit_.get()));
  EXPECT_EQ("C:\\WINNT\\system32;C:\\TOOLS; (expand)", Env("Path"));
  EXPECT_EQ("", Env("KSTA"));
  EXPECT_EQ(1, platform_.system().settingChangeCount());

  // Entries in lower case are not the product's spelling and stay.
  registry().SetString(kHklm, kEnvironment, "Path", "c:\\sv32;C:\\TOOLS");
  EXPECT_EQ(0u, SvCleanEnvironment(kit_.get()));
  EXPECT_EQ("c:\\sv32;C:\\TOOLS", Env("Path"));
}

TEST_F(CleanupTest, EmptyProductDirectoryOrMissingValuesChangeNothing) {
  registry().SetString(kHklm, kEnvironment, "Path", "C:\\WINNT\\system32;C:\\TOOLS");
  Define("LDID_SV", "");
  EXPECT_EQ(0u, SvCleanEnvironment(kit_.get()));
  EXPECT_EQ("C:\\WINNT\\system32;C:\\TOOLS", Env("Path"));
  EXPECT_EQ(0, platform_.system().settingChangeCount());

  Define("LDID_SV", "C:\\SV32");
  registry().RemoveValue(kHklm, kEnvironment, "Path");
  EXPECT_EQ(0u, SvCleanEnvironment(kit_.get()));
  EXPECT_EQ("<absent>", Env("Path"));
  EXPECT_EQ("<absent>", Env("KSTA"));
}

TEST_F(CleanupTest, AutoexecLosesMarkedLinesKeepsTheRestAndIsBackedUp) {
  EXPECT_EQ(1u, SvCleanAutoexec());  // none: no backup either
  EXPECT_FALSE(files().Exists("C:\\WINNT\\system32\\AUTOEXEC.SV"));
  EXPECT_FALSE(files().Exists("C:\\WINNT\\system32\\AUTOEXEC.NT"));
  const std::string original =
      "@echo off\r\n"
      "REM Install CD ROM extensions\r\n"
      "lh %SystemRoot%\\system32\\mscdexnt.exe\r\n"
      "SET KSTA=C:\\SV32\r\n"
      "lh C:\\SV32\\tnp16.exe\r\n"
      "lh %SystemRoot%\\system32\\redir\r\n"
      "REM ksta driver options\r\n"
      "SET Ksta=user setting\r\n"
      "lh C:\\SV32\\TNP16.COM /I\r\n"
      // Read in two pieces: the first, without the mark, stays a line.
      "PATH " + std::string(254, 'x') + ";KSTA\r\n"
      "lh %SystemRoot%\\system32\\dosx\r\n";
  files().WriteFile("C:\\WINNT\\system32\\AUTOEXEC.NT", original);
  EXPECT_EQ(1u, SvCleanAutoexec());
  EXPECT_EQ(original, files().ReadFile("C:\\WINNT\\system32\\AUTOEXEC.SV"));
  EXPECT_EQ(
      "@echo off\r\n"
      "REM Install CD ROM extensions\r\n"
      "lh %SystemRoot%\\system32\\mscdexnt.exe\r\n"
      "lh %SystemRoot%\\system32\\redir\r\n"
      "SET Ksta=user setting\r\n"
      "PATH " + std::string(254, 'x') + "\r\n"
      "lh %SystemRoot%\\system32\\dosx\r\n",
      files().ReadFile("C:\\WINNT\\system32\\AUTOEXEC.NT"));
  EXPECT_FALSE(files().Exists("C:\\WINNT\\system32\\AUTOEXEC.$$$"));
}

// Where the cleaned file cannot be renamed over AUTOEXEC.NT, the file is
// rewritten in place or left alone exactly as an in-place rewrite would.
TEST_F(CleanupTest, AutoexecThatCannotBeReplacedIsRewrittenInPlaceOrKept) {
  const std::string file = "C:\\WINNT\\system32\\AUTOEXEC.NT";
  const std::string backup = "C:\\WINNT\\system32\\AUTOEXEC.SV";
  const std::string original = "@echo off\r\nSET KSTA=C:\\SV32\r\n";
  const struct {
    const char* what;
    uint32_t attributes;
    bool inUse;  // by a reader that shares reading and writing, not deletion
    const char* after;
  } cases[] = {{"held open", svp::kAttrArchive, true, "@echo off\r\n"},
               {"read-only", svp::kAttrReadOnly, false, original.c_str()},
               {"hidden", svp::kAttrHidden, false, original.c_str()}};
  for (const auto& c : cases) {
    // The backup takes the file's attributes; a read-only one refuses the
    // next case's copy.
    files().SetReadOnly(backup, false);
    files().DeleteFile(backup);
    files().WriteFile(file, original);
    files().SetFileAttributes(file, c.attributes);
    files().SetInUse(file, c.inUse, svp::kShareRead | svp::kShareWrite);
    EXPECT_EQ(1u, SvCleanAutoexec()) << c.what;
    EXPECT_EQ(c.after, files().ReadFile(file)) << c.what;
    EXPECT_EQ(original, files().ReadFile(backup)) << c.what;
    EXPECT_FALSE(files().Exists("C:\\WINNT\\system32\\AUTOEXEC.$$$")) << c.what;
    files().SetInUse(file, false);
    files().SetFileAttributes(file, svp::kAttrArchive);
  }
}

TEST_F(CleanupTest, ProductDirectoriesGoWhenEmptyAndAreMarkedForTheRestartAnyway) {
  registry().SetString(kHklm, kConfigKey, "LDID_SV", "C:\\SV32");
  files().MakeDirectory("C:\\SV32\\PROTOCOL\\TRELLNET");
  EXPECT_EQ(1u, SvRemoveProductDirectories());
  EXPECT_FALSE(files().Exists("C:\\SV32"));

  files().WriteFile("C:\\SV32\\PROTOCOL\\TRELLNET\\TRELL.LOG", "kept");
  EXPECT_EQ(1u, SvRemoveProductDirectories());
  EXPECT_TRUE(files().Exists("C:\\SV32\\PROTOCOL\\TRELLNET\\TRELL.LOG"));
  EXPECT_EQ(2u, files().PendingOperations().size());

  registry().RemoveKeyTree(kHklm, kConfigKey);
  EXPECT_EQ(1u, SvRemoveProductDirectories());
  registry().SetString(kHklm, kConfigKey, "LDID_SV", "");
  EXPECT_EQ(1u, SvRemoveProductDirectories());
  EXPECT_EQ(2u, files().PendingOperations().size());
}

}  // namespace
