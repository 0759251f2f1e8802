// The older version's network registrations: detection and removal.
#include <string>

#include "netcfg/oldversion.h"
#include "wizard_test_support.h"

namespace {

const char kSolvane[] = "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\CurrentVersion\\NetRules";
const char kZoz[] = "SOFTWARE\\OrrisLogicCorporation\\ZOZuzivoz\\CurrentVersion\\NetRules";

class OldVersionTest : public WorkstationFixture {
 protected:
  void SetUp() override {
    WorkstationFixture::SetUp();
    ASSERT_TRUE(SvOpenLog(kLogPath));
  }
  void Register(const char* key, const char* option, const char* recordedInf,
                const char* libraryInf) {
    registry().SetString(svp::kHKeyLocalMachine, key, "InfName", recordedInf);
    net().AddComponent(option, libraryInf);
  }
  svp::MemoryNetSetup& net() { return platform_.net(); }
};

TEST_F(OldVersionTest, TheOtherRulesKeyAlsoMeansTheOldVersionIsThere) {
  EXPECT_FALSE(SvIsNetRegistrationPresent());
  registry().CreateKeyPath(svp::kHKeyLocalMachine, kZoz);
  EXPECT_TRUE(SvIsNetRegistrationPresent());
}

TEST_F(OldVersionTest, RemovesTheComponentsOfTheRecordedScriptsReportingFailures) {
  Register(kSolvane, "SOLVANE", "oemnxpsv.inf", "oemnxpsv.inf");
  Register(kZoz, "ZOZUZIVOZ", "oemnxpzz.inf", "oemnxpzz.inf");
  net().SetRemoveError("SOLVANE", 5);
  SvRemoveNetRegistrations();
  EXPECT_TRUE(net().HasComponent("SOLVANE"));
  EXPECT_FALSE(net().HasComponent("ZOZUZIVOZ"));  // tried after a failure too
  EXPECT_EQ(0, ui().waitCursorDepth());
  EXPECT_EQ(Strings{"30 The following error occurred while removing SOLVANE\r\nError 5 ()\n"},
            Boxes());
  EXPECT_EQ("The following error occurred while removing SOLVANE\r\r\nError 5 ()\r\n", Log());
}

TEST_F(OldVersionTest, LeavesComponentsOfOtherScriptsAlone) {
  Register(kSolvane, "SOLVANE", "OEMNXPSV.INF", "oemnxpsv.inf");  // case differs
  net().AddComponent("ZOZUZIVOZ", "oemnxpzz.inf");                // no InfName recorded
  SvRemoveNetRegistrations();
  EXPECT_TRUE(net().HasComponent("SOLVANE"));
  EXPECT_TRUE(net().HasComponent("ZOZUZIVOZ"));
  // Not installed at all: nothing asked beyond the lookup.
  SvRemoveNetRegistration(kSolvane, "NOSUCH");
  for (const std::string& line : net().journal())
    EXPECT_EQ(std::string::npos, line.find("Remove")) << line;
  EXPECT_TRUE(ui().boxes().empty());
}

}  // namespace
