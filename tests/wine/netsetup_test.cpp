// The binding of the network setup library, through the Win32 platform, to
// the NETCFG.DLL stand-in whose state the cases set up in the registry.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <string>

#include "netcfg/netsetup.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "registry/reghelpers.h"
#include "wine/uidriver_client.h"

namespace {

const char kRoot[] = "SOFTWARE\\NetSetupStandIn";
const char kComponents[] = "SOFTWARE\\NetSetupStandIn\\Components";
constexpr svp::RegKey kLm = svp::kHKeyLocalMachine;

void SetValue(const std::string& path, const std::string& name, uint32_t type, const void* data,
              uint32_t size) {
  svp::RegKey key = 0;
  bool created = false;
  ASSERT_EQ(0u, svp::Reg().CreateKey(kLm, path, svp::kRegOptionNonVolatile, svp::kKeyAllAccess,
                                     &key, &created));
  ASSERT_EQ(0u, svp::Reg().SetValue(key, name, type, static_cast<const uint8_t*>(data), size));
  svp::Reg().CloseKey(key);
}

void SetString(const std::string& path, const std::string& name, const std::string& value) {
  SetValue(path, name, svp::kRegSz, value.c_str(), static_cast<uint32_t>(value.size() + 1));
}

void AddComponent(const std::string& option, const std::string& inf) {
  SetString(std::string(kComponents) + "\\" + option, "InfName", inf);
}

class NetSetupBinding : public ::testing::Test {
 protected:
  void SetUp() override {
    SvRegDeleteTree(kLm, kRoot);
    std::string module;
    ASSERT_GT(svp::Fs().GetModuleFileName(&module), 0u);
    directory_ = module.substr(0, module.rfind('\\'));
    journal_ = directory_ + "\\journal.txt";
    svp::Fs().DeleteFile(journal_);
    SetString(kRoot, "Journal", journal_);
  }

  void TearDown() override {
    SvFreeNetSetupLibrary();
    SvRegDeleteTree(kLm, kRoot);
  }

  std::string Library() const { return directory_ + "\\NETCFG.DLL"; }
  std::string Journal() const { return ReadBytes(journal_); }

  svp::Win32Platform platform_;
  svp::ScopedPlatform installed_{platform_.Parts()};
  std::string directory_;
  std::string journal_;
};

TEST_F(NetSetupBinding, FindAndRemoveFollowTheComponentsInTheRegistry) {
  AddComponent("SVTRELL", "OEMNXPSV.INF");
  AddComponent("SVNDIS", "OEMNADSV.INF");
  const uint32_t refusal = 1205;
  SetValue(std::string(kComponents) + "\\SVNDIS", "RemoveError", svp::kRegDword, &refusal, 4);
  ASSERT_EQ(0u, SvLoadNetSetupLibrary());
  ASSERT_TRUE(svp::Net().IsLoaded());

  // The INF buffer goes in holding the path the caller expects and comes back
  // with the library's answer.
  std::string inf = "C:\\WINDOWS\\system32\\OEMNXPSV.INF";
  EXPECT_EQ(0u, svp::Net().FindSoftwareComponent("SVTRELL", &inf));
  EXPECT_EQ("OEMNXPSV.INF", inf);
  inf = "untouched";
  EXPECT_NE(0u, svp::Net().FindSoftwareComponent("SVABSENT", &inf));
  EXPECT_EQ("untouched", inf);

  uint32_t infResult = 77;
  EXPECT_EQ(0u, svp::Net().ComponentRemove("SVTRELL", &infResult));
  EXPECT_EQ(0u, infResult);
  EXPECT_NE(0u, svp::Net().FindSoftwareComponent("SVTRELL", &inf));
  // A refused removal answers the library's error.
  EXPECT_EQ(1205u, svp::Net().ComponentRemove("SVNDIS", &infResult));
}

TEST_F(NetSetupBinding, EveryCallReachesTheLibraryInOrderUntilItIsReleased) {
  AddComponent("SVTRELL", "OEMNXPSV.INF");
  ASSERT_EQ(0u, SvLoadNetSetupLibrary());
  std::string inf;
  uint32_t infResult = 0;
  svp::Net().FindSoftwareComponent("SVTRELL", &inf);
  svp::Net().ComponentRemove("SVTRELL", &infResult);
  EXPECT_EQ(0u, svp::Net().ReviewBindings());

  EXPECT_EQ(0u, SvFreeNetSetupLibrary());
  EXPECT_FALSE(svp::Net().IsLoaded());
  EXPECT_NE(0u, svp::Net().ReviewBindings());
  EXPECT_NE(0u, svp::Net().FindSoftwareComponent("SVTRELL", &inf));
  EXPECT_EQ(
      "NetSetupFindSoftwareComponent SVTRELL\r\n"
      "NetSetupComponentRemove SVTRELL\r\n"
      "NetSetupReviewBindings\r\n",
      Journal());
}

TEST_F(NetSetupBinding, OptionNamesTravelAsWideTextOfTheSystemCodePage) {
  const std::string option = "SV\xC9T\xE0";  // letters outside ASCII
  AddComponent(option, "OEMN\xC9.INF");
  ASSERT_EQ(0u, SvLoadNetSetupLibrary());
  std::string inf;
  EXPECT_EQ(0u, svp::Net().FindSoftwareComponent(option, &inf));
  EXPECT_EQ("OEMN\xC9.INF", inf);
  EXPECT_EQ("NetSetupFindSoftwareComponent " + option + "\r\n", Journal());
}

TEST_F(NetSetupBinding, AMissingLibraryIsNotLoadable) {
  const std::string aside = directory_ + "\\NETCFG.BAK";
  ASSERT_TRUE(svp::Fs().MoveFileEx(Library(), &aside, 0));
  EXPECT_EQ(2u, SvLoadNetSetupLibrary());
  EXPECT_FALSE(svp::Net().IsLoaded());
  EXPECT_EQ(0u, SvFreeNetSetupLibrary());
  const std::string back = Library();
  ASSERT_TRUE(svp::Fs().MoveFileEx(aside, &back, 0));
  EXPECT_EQ(0u, SvLoadNetSetupLibrary());
}

TEST_F(NetSetupBinding, ALibraryLackingOneEntryPointIsRefused) {
  const std::string aside = directory_ + "\\NETCFG.BAK";
  ASSERT_TRUE(svp::Fs().MoveFileEx(Library(), &aside, 0));
  ASSERT_TRUE(svp::Fs().CopyFile(directory_ + "\\incomplete\\NETCFG.DLL", Library(), false));
  AddComponent("SVTRELL", "OEMNXPSV.INF");

  EXPECT_EQ(4u, SvLoadNetSetupLibrary());
  EXPECT_FALSE(svp::Net().IsLoaded());
  // The five entry points it has are not used either.
  std::string inf;
  EXPECT_NE(0u, svp::Net().FindSoftwareComponent("SVTRELL", &inf));
  EXPECT_EQ("<missing>", Journal());

  SvFreeNetSetupLibrary();
  ASSERT_TRUE(svp::Fs().DeleteFile(Library())) << "the library was not released";
  const std::string back = Library();
  ASSERT_TRUE(svp::Fs().MoveFileEx(aside, &back, 0));
}

}  // namespace
