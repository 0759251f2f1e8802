// Binding of the network setup library, and the simulated library's answers
// that the removal tests build on.
#include "netcfg/netsetup.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace {

TEST(NetSetupBinding, LoadResultsReleaseAndTheSimulatedCalls) {
  svp::InstalledMemoryPlatform platform;
  svp::MemoryNetSetup& net = platform.net();
  // The library missing, then present without one of its entry points.
  for (uint32_t result : {2u, 4u}) {
    net.SetLoadResult(result);
    EXPECT_EQ(result, SvLoadNetSetupLibrary());
    EXPECT_FALSE(svp::Net().IsLoaded());
  }
  net.SetLoadResult(0);
  EXPECT_EQ(0u, SvLoadNetSetupLibrary());
  EXPECT_TRUE(svp::Net().IsLoaded());
  EXPECT_EQ(3, net.loadCount());
  EXPECT_TRUE(net.journal().empty());  // binding calls nothing of the library

  net.AddComponent("TNP", "OEMNXPTN.INF");
  net.SetRemoveError("TNP", 1205);
  std::string inf = "untouched";
  uint32_t infResult = 99;
  EXPECT_NE(0u, svp::Net().FindSoftwareComponent("NOTHERE", &inf));
  EXPECT_EQ("untouched", inf);
  EXPECT_EQ(0u, svp::Net().FindSoftwareComponent("TNP", &inf));
  EXPECT_EQ("OEMNXPTN.INF", inf);
  EXPECT_EQ(1205u, svp::Net().ComponentRemove("TNP", &infResult));  // the component stays
  net.SetRemoveError("TNP", 0);
  EXPECT_EQ(0u, svp::Net().ComponentRemove("TNP", &infResult));
  EXPECT_FALSE(net.HasComponent("TNP"));
  svp::Net().ReviewBindings();
  EXPECT_EQ(1, net.reviewCount());
  EXPECT_EQ(
      (std::vector<std::string>{"NetSetupFindSoftwareComponent NOTHERE",
                                "NetSetupFindSoftwareComponent TNP", "NetSetupComponentRemove TNP",
                                "NetSetupComponentRemove TNP", "NetSetupReviewBindings"}),
      net.journal());

  EXPECT_EQ(0u, SvFreeNetSetupLibrary());
  EXPECT_FALSE(svp::Net().IsLoaded());
}

}  // namespace
