// Binding of the network setup library, and the three calls the program
// relies on, answered by the simulated library.
#include "netcfg/netsetup.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace {

class NetSetupBinding : public ::testing::Test {
 protected:
  void SetUp() override { platform_.Install(); }
  svp::MemoryPlatform platform_;
};

TEST_F(NetSetupBinding, LoadResultsAndRelease) {
  EXPECT_EQ(0u, SvLoadNetSetupLibrary());
  EXPECT_TRUE(svp::Net().IsLoaded());
  EXPECT_EQ(0u, SvFreeNetSetupLibrary());
  EXPECT_FALSE(svp::Net().IsLoaded());

  // The library missing, then present without one of its entry points.
  platform_.net().SetLoadResult(2);
  EXPECT_EQ(2u, SvLoadNetSetupLibrary());
  EXPECT_FALSE(svp::Net().IsLoaded());
  platform_.net().SetLoadResult(4);
  EXPECT_EQ(4u, SvLoadNetSetupLibrary());
  EXPECT_FALSE(svp::Net().IsLoaded());
  EXPECT_EQ(3, platform_.net().loadCount());
  // Binding calls nothing of the library.
  EXPECT_TRUE(platform_.net().journal().empty());
}

TEST_F(NetSetupBinding, FindRemoveAndReviewAsTheProgramReliesOnThem) {
  svp::MemoryNetSetup& net = platform_.net();
  net.AddComponent("TNP", "OEMNXPTN.INF");
  net.AddComponent("TNPDRV", "OEMNADTN.INF");
  net.SetRemoveError("TNPDRV", 1205);
  ASSERT_EQ(0u, SvLoadNetSetupLibrary());
  svp::INetSetup& lib = svp::Net();

  std::string inf;
  EXPECT_EQ(0u, lib.FindSoftwareComponent("TNP", &inf));
  EXPECT_EQ("OEMNXPTN.INF", inf);
  inf = "untouched";
  EXPECT_NE(0u, lib.FindSoftwareComponent("NOTHERE", &inf));
  EXPECT_EQ("untouched", inf);

  uint32_t infResult = 99;
  EXPECT_EQ(0u, lib.ComponentRemove("TNP", &infResult));
  EXPECT_FALSE(net.HasComponent("TNP"));
  EXPECT_NE(0u, lib.FindSoftwareComponent("TNP", &inf));
  // A failing removal answers its error and the component stays.
  EXPECT_EQ(1205u, lib.ComponentRemove("TNPDRV", &infResult));
  EXPECT_TRUE(net.HasComponent("TNPDRV"));

  lib.ReviewBindings();
  lib.ReviewBindings();
  EXPECT_EQ(2, net.reviewCount());
  EXPECT_EQ((std::vector<std::string>{
                "NetSetupFindSoftwareComponent TNP", "NetSetupFindSoftwareComponent NOTHERE",
                "NetSetupComponentRemove TNP", "NetSetupFindSoftwareComponent TNP",
                "NetSetupComponentRemove TNPDRV", "NetSetupReviewBindings",
                "NetSetupReviewBindings"}),
            net.journal());
}

}  // namespace
