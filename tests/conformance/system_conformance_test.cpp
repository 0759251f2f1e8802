// What the program asks of the system besides files and registry, as both
// platforms answer it.
#include "conformance/conformance_env.h"

namespace {

using SystemConformance = ConformanceTest;

TEST_F(SystemConformance, CaseOfTheCodePageLocalDrivesAndUnknownErrors) {
  svp::ISystem& sys = svp::Sys();
  EXPECT_TRUE(sys.EqualNoCase("[R\xC9SEAU]", "[R\xE9seau]"));  // É, é in code page 1252
  EXPECT_FALSE(sys.EqualNoCase("R\xC9SEAU", "RESEAU"));
  EXPECT_FALSE(sys.EqualNoCase("RESEAU", "RESEAUX"));
  std::string text = "unchanged";
  EXPECT_EQ(svp::kErrNotConnected, sys.WNetGetConnection("C:", &text));
  EXPECT_FALSE(svp::Fs().FormatErrorText(0x2ABCDEF, &text));
  EXPECT_EQ("unchanged", text);
}

}  // namespace
