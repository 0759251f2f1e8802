// The shortcut phase: conditions and keep markers, the desktop's local name,
// both extensions, the product's own entries and the program group.
#include <string>

#include "netcfg/shortcuts.h"
#include "phase_test_support.h"
#include "wizard/pages.h"

namespace {

constexpr const char* kPrograms = "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs";

class ShortcutPhaseTest : public PhaseFixture {
 protected:
  void SetUp() override {
    PhaseFixture::SetUp();
    Define("YES", "TRUE");
    Define("NO", "FALSE");
  }
  std::string In(const std::string& relative) { return std::string(kPrograms) + "\\" + relative; }
  void Put(const std::string& relative) { files().WriteFile(In(relative), "shortcut"); }
  uint32_t Run() { return SvRunShortcutPhase(kit_.get(), &page_); }
  CSvFinishStatusPage page_{nullptr};
};

TEST_F(ShortcutPhaseTest, RemovesByConditionAndKeepMarkerWithBothExtensions) {
  LoadKit(
      "SHORTCUT,NO,k1,Solvane 32,Read Me,,,,\n"       // condition false: removed
      "SHORTCUT,YES,k2,Solvane 32,Event Viewer,,,,\n"  // true, no keep: removed
      "SHORTCUT,YES,k3,Solvane 32,Remote,KEEP,,,\n"    // true and keep: stays
      "SHORTCUT,NO,k4,Solvane 32,Setup,KEEP,,,\n");    // false, keep ignored: removed
  for (const char* name : {"Read Me", "Event Viewer", "Remote", "Setup"}) {
    Put(std::string("Solvane 32\\") + name + ".lnk");
    Put(std::string("Solvane 32\\") + name + ".pif");
  }
  Put("SOLVANE 32.lnk");
  Put("SOLVANE 32.pif");
  Put("Other.lnk");

  EXPECT_EQ(0u, Run());
  for (const char* name : {"Read Me", "Event Viewer", "Setup"}) {
    EXPECT_FALSE(files().Exists(In(std::string("Solvane 32\\") + name + ".lnk"))) << name;
    EXPECT_FALSE(files().Exists(In(std::string("Solvane 32\\") + name + ".pif"))) << name;
  }
  EXPECT_TRUE(files().Exists(In("Solvane 32\\Remote.lnk")));
  EXPECT_TRUE(files().Exists(In("Solvane 32\\Remote.pif")));
  // The group still holds the kept shortcut, so it stays.
  EXPECT_TRUE(files().IsDirectory(In("Solvane 32")));
  EXPECT_FALSE(files().Exists(In("SOLVANE 32.lnk")));
  EXPECT_FALSE(files().Exists(In("SOLVANE 32.pif")));
  EXPECT_TRUE(files().Exists(In("Other.lnk")));
  EXPECT_EQ("Completed", page_.GetShortcutText());
  EXPECT_TRUE(page_.GetShortcutTick());
  EXPECT_EQ(1, platform_.shell().comInitCount());
  EXPECT_EQ(1, platform_.shell().comUninitCount());
  EXPECT_EQ("Starting add shortcut phase.\r\n", Log());
}

TEST_F(ShortcutPhaseTest, DesktopFoldersUseTheLocalNameAndLoseTheirContinuation) {
  platform_.shell().SetSpecialFolder(svp::kCsidlDesktop, "C:\\WINNT\\Profiles\\Administrator\\Bureau");
  LoadKit(
      "SHORTCUT,NO,d1,..\\..\\Desktop,SOLVANE 32 Remote,,,,\n"
      "SHORTCUT,NO,d2,..\\..\\Desktop\\Tools,NXFT,,,,\n");
  const std::string bureau = "C:\\WINNT\\Profiles\\All Users\\Bureau\\";
  files().WriteFile(bureau + "SOLVANE 32 Remote.lnk", "x");
  files().WriteFile(bureau + "NXFT.pif", "x");
  files().WriteFile(bureau + "Tools\\NXFT.lnk", "x");
  EXPECT_EQ(0u, Run());
  EXPECT_FALSE(files().Exists("C:\\WINNT\\Profiles\\All Users\\Bureau\\SOLVANE 32 Remote.lnk"));
  EXPECT_FALSE(files().Exists("C:\\WINNT\\Profiles\\All Users\\Bureau\\NXFT.pif"));
  EXPECT_TRUE(files().Exists("C:\\WINNT\\Profiles\\All Users\\Bureau\\Tools\\NXFT.lnk"));
}

TEST_F(ShortcutPhaseTest, WithoutTheProgramsFolderNothingIsDeleted) {
  platform_.shell().SetSpecialFolder(svp::kCsidlCommonPrograms, "");
  files().WriteFile("C:\\Read Me.lnk", "x");
  files().WriteFile("C:\\SOLVANE 32.lnk", "x");
  LoadKit("SHORTCUT,NO,k1,,Read Me,,,,\n");
  EXPECT_EQ(0u, Run());
  EXPECT_TRUE(files().Exists("C:\\Read Me.lnk"));
  EXPECT_TRUE(files().Exists("C:\\SOLVANE 32.lnk"));
  EXPECT_EQ("Completed", page_.GetShortcutText());
}

}  // namespace
