// The network control panel phase: the flag table, the status line, the
// error texts and the binding review.
#include <string>

#include "netcfg/netphase.h"
#include "phase_test_support.h"
#include "wizard/pages.h"

namespace {

class NetPhaseTest : public PhaseFixture {
 protected:
  void SetUp() override {
    PhaseFixture::SetUp();
    Define("LDID_SYS", "C:\\WINNT\\system32");
    Define("YES", "TRUE");
    Define("NO", "FALSE");
  }
  uint32_t Run() { return SvRunNetworkPhase(kit_.get(), &page_); }
  CSvFinishStatusPage page_{nullptr};
};

TEST_F(NetPhaseTest, FlagTableDecidesHowOftenEachComponentIsLookedUp) {
  LoadKit(
      "NETCPL,A,a.inf,Alpha,YES,4\n"   // installed, 0x4: once
      "NETCPL,B,b.inf,Beta,YES,1\n"    // installed, 0x1: twice
      "NETCPL,C,c.inf,Gamma,YES,0\n"   // installed: once
      "NETCPL,D,d.inf,Delta,NO,0\n"    // not installed, no flag: once
      "NETCPL,E,e.inf,Eps,NO,2\n"      // not installed, 0x2: never
      "NETCPL,F,f.inf,Phi,NO,4\n"      // not installed, 0x4: never
      "NETCPL,G,g.inf,Eta,YES,5\n");   // installed, 0x4 wins over 0x1: once
  for (const char* option : {"A", "B", "C", "D", "E", "F", "G"})
    platform_.net().AddComponent(option, std::string(option) + ".inf");
  EXPECT_EQ(0u, Run());
  EXPECT_EQ((Strings{"NetSetupFindSoftwareComponent A", "NetSetupComponentRemove A",
                     "NetSetupFindSoftwareComponent B", "NetSetupComponentRemove B",
                     "NetSetupFindSoftwareComponent B", "NetSetupFindSoftwareComponent C",
                     "NetSetupComponentRemove C", "NetSetupFindSoftwareComponent D",
                     "NetSetupComponentRemove D", "NetSetupFindSoftwareComponent G",
                     "NetSetupComponentRemove G", "NetSetupReviewBindings"}),
            platform_.net().journal());
  EXPECT_TRUE(platform_.net().HasComponent("E"));
  EXPECT_TRUE(platform_.net().HasComponent("F"));
  EXPECT_EQ("Removing Eta", page_.GetNetworkText());
  EXPECT_TRUE(page_.GetNetworkTick());
  EXPECT_EQ(
      "Starting network control panel phase.\r\n"
      "Ending network control panel phase.\r\n",
      Log());
}

TEST_F(NetPhaseTest, NotInstalledComponentLeavesNoTrace) {
  LoadKit("NETCPL,TRELLNET,oemnxptl.inf,Trellnet Protocol,YES,0\n");
  EXPECT_EQ(0u, Run());
  EXPECT_FALSE(page_.GetNetworkTick());
  EXPECT_EQ("", page_.GetNetworkText());
  EXPECT_TRUE(ui().boxes().empty());
}

TEST_F(NetPhaseTest, FailedRemovalIsShownWithItsTextAndFailsThePhase) {
  LoadKit(
      "NETCPL,TRELLNET,oemnxptl.inf,Trellnet Protocol,YES,1\n"
      "NETCPL,SVRDR,oemnxrdr.inf,Trellnet Redirector,YES,0\n"
      "NETCPL,SVPRINT,oemnxprt.inf,Trellnet Printing,YES,0\n");
  platform_.net().AddComponent("TRELLNET", "oemnxptl.inf");
  platform_.net().AddComponent("SVRDR", "oemnxrdr.inf");
  platform_.net().AddComponent("SVPRINT", "oemnxprt.inf");
  platform_.net().SetRemoveError("TRELLNET", 1207);
  platform_.net().SetRemoveError("SVRDR", 1);
  // Flag 0x1 tries a failed removal once more: two boxes for TRELLNET.
  // An earlier failure fails the phase even when the last removal works.
  EXPECT_EQ(13u, Run());
  EXPECT_TRUE(platform_.net().HasComponent("TRELLNET"));
  EXPECT_FALSE(platform_.net().HasComponent("SVPRINT"));
  ASSERT_EQ(3u, ui().boxes().size());
  EXPECT_EQ("The following error occurred while removing TRELLNET\r\nError 1207 (No match)\n",
            ui().boxes()[0].text);
  EXPECT_EQ(0x30u, ui().boxes()[0].type);
  EXPECT_EQ("SOLVANE 32 for Windows NT Setup", ui().boxes()[0].caption);
  EXPECT_EQ(
      "Starting network control panel phase.\r\n"
      "The following error occurred while removing TRELLNET\r\r\nError 1207 (No match)\r\n"
      "The following error occurred while removing TRELLNET\r\r\nError 1207 (No match)\r\n"
      "The following error occurred while removing SVRDR\r\r\nError 1 (Unknown)\r\n"
      "Ending network control panel phase.\r\n",
      Log());
}

TEST_F(NetPhaseTest, ErrorTextsComeFromTheStringTable) {
  EXPECT_EQ(Text(500), SvGetNetSetupErrorText(500));
  // Identifiers are 16-bit: a larger code must not wrap onto an entry.
  EXPECT_EQ(Text(599), SvGetNetSetupErrorText(0x10000u + 500));
}

}  // namespace
