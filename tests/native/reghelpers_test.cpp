#include "registry/reghelpers.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_platform.h"

namespace {

constexpr svp::RegKey kLm = svp::kHKeyLocalMachine;
const char kEnv[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

class RegHelpersTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_.Install(); }

  std::string Path(uint32_t* type = nullptr) {
    std::string value;
    if (!reg().GetString(kLm, kEnv, "Path", &value, type)) return "<absent>";
    return value;
  }
  // Edits a Path holding `before` and returns the value afterwards.
  std::string Edit(const std::string& before, const std::string& item, int mode,
                   int32_t expected = 0) {
    reg().SetString(kLm, kEnv, "Path", before);
    EXPECT_EQ(expected, SvRegEditList(kEnv, "Path", item, mode)) << before << " " << item;
    return Path();
  }
  svp::MemoryRegistry& reg() { return platform_.registry(); }

  svp::MemoryPlatform platform_;
};

TEST_F(RegHelpersTest, RemoveCutsTheFirstMatchThroughItsSemicolon) {
  EXPECT_EQ("C:\\B;", Edit("C:\\A;C:\\B", "C:\\A", 3));
  EXPECT_EQ("C:\\A;C:\\B", Edit("C:\\A;C:\\B", "C:\\C", 3));  // nothing written
  EXPECT_EQ("XY;", Edit("XA;Y", "A", 3));
  EXPECT_EQ("c:\\a;C:\\B", Edit("c:\\a;C:\\B", "C:\\A", 3));  // case-sensitive
  EXPECT_EQ("C:\\A;", Edit("C:\\A;C:\\B;", "C:\\B", 3));
  EXPECT_EQ("", Edit("C:\\A", "C:\\A", 3));
  EXPECT_EQ("", Edit("", "C:\\A", 3));
}

TEST_F(RegHelpersTest, AppendPrependAndSet) {
  EXPECT_EQ("X;Y", Edit("X", "Y", 1));
  EXPECT_EQ("Y;X", Edit("X", "Y", 2));
  EXPECT_EQ("X", Edit("X", "X", 1));
  EXPECT_EQ("X", Edit("X", "X", 2));
  EXPECT_EQ("X;Y", Edit("X;", "Y", 1));
  EXPECT_EQ("Y;X;", Edit("X;", "Y", 2));
  EXPECT_EQ("new", Edit("a;b", "new", 0));

  // A missing value: set or append creates it, remove does nothing.
  reg().CreateKeyPath(kLm, "SOFTWARE\\SvList");
  EXPECT_EQ(0, SvRegEditList("SOFTWARE\\SvList", "L", "C:\\A", 3));
  EXPECT_FALSE(reg().ValueExists(kLm, "SOFTWARE\\SvList", "L"));
  EXPECT_EQ(0, SvRegEditList("SOFTWARE\\SvList", "L", "C:\\A", 2));
  std::string value;
  uint32_t type = 0;
  EXPECT_TRUE(reg().GetString(kLm, "SOFTWARE\\SvList", "L", &value, &type));
  EXPECT_EQ("C:\\A", value);
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegSz), type);
  EXPECT_EQ(2, SvRegEditList("SOFTWARE\\NoSuchKey", "L", "x", 1));
}

TEST_F(RegHelpersTest, ExpandStringsKeepTheirType) {
  uint32_t type = 0;
  for (int mode : {1, 2, 3}) {
    reg().SetString(kLm, kEnv, "Path", "%SystemRoot%;C:\\SV", svp::kRegExpandSz);
    EXPECT_EQ(0, SvRegEditList(kEnv, "Path", mode == 3 ? "C:\\SV" : "C:\\New", mode));
    Path(&type);
    EXPECT_EQ(static_cast<uint32_t>(svp::kRegExpandSz), type) << mode;
  }
  EXPECT_EQ("%SystemRoot%;", Path());
  // Setting writes a plain string.
  EXPECT_EQ(0, SvRegEditList(kEnv, "Path", "x", 0));
  Path(&type);
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegSz), type);
}

TEST_F(RegHelpersTest, ReadersOfKeysAndValues) {
  reg().SetString(kLm, "SOFTWARE\\SvRead", "InfName", "oemnxpsv.inf");
  reg().SetDword(kLm, "SOFTWARE\\SvRead", "Count", 7);
  EXPECT_TRUE(SvRegKeyExists("SOFTWARE\\SvRead"));
  EXPECT_TRUE(SvRegKeyExists("software\\svread"));
  EXPECT_FALSE(SvRegKeyExists("SOFTWARE\\SvMissing"));

  std::string out = "unchanged";
  EXPECT_EQ(13u, SvRegGetString("SOFTWARE\\SvRead", "InfName", out));
  EXPECT_EQ("oemnxpsv.inf", out);
  out = "unchanged";
  EXPECT_EQ(2u, SvRegGetString("SOFTWARE\\SvRead", "Missing", out));
  EXPECT_EQ(2u, SvRegGetString("SOFTWARE\\SvMissing", "InfName", out));
  EXPECT_EQ("unchanged", out);

  uint8_t buffer[8] = {};
  uint32_t size = sizeof(buffer);
  EXPECT_TRUE(SvRegQueryValue("SOFTWARE\\SvRead", "Count", buffer, &size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(7, buffer[0]);
  size = 4;
  EXPECT_FALSE(SvRegQueryValue("SOFTWARE\\SvRead", "InfName", buffer, &size));
  EXPECT_FALSE(SvRegQueryValue("SOFTWARE\\SvRead", "InfName", buffer, nullptr));
  size = sizeof(buffer);
  EXPECT_FALSE(SvRegQueryValue("SOFTWARE\\SvMissing", "Count", buffer, &size));

  reg().DenyAccess(kLm, "SOFTWARE\\SvRead", true);
  EXPECT_FALSE(SvRegKeyExists("SOFTWARE\\SvRead"));
  EXPECT_EQ(5u, SvRegGetString("SOFTWARE\\SvRead", "InfName", out));
  EXPECT_EQ(5, SvRegEditList("SOFTWARE\\SvRead", "InfName", "x", 1));
}

TEST_F(RegHelpersTest, DeleteTreeRemovesDeepestFirstAndNeverItsRoot) {
  reg().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\A\\A1\\A11");
  reg().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\B");
  reg().SetString(kLm, "SOFTWARE\\SvTree\\A\\A1", "v", "x");
  EXPECT_EQ(1010u, SvRegDeleteTree(kLm, ""));
  EXPECT_EQ(1010u, SvRegDeleteTree(kLm, nullptr));
  EXPECT_EQ(2u, SvRegDeleteTree(kLm, "SOFTWARE\\SvNone"));
  EXPECT_EQ(0u, SvRegDeleteTree(kLm, "SOFTWARE\\SvTree"));
  EXPECT_FALSE(reg().KeyExists(kLm, "SOFTWARE\\SvTree"));
  EXPECT_TRUE(reg().KeyExists(kLm, "SOFTWARE"));
}

TEST_F(RegHelpersTest, DeleteTreeStopsAtTheFirstSubkeyThatCannotGo) {
  reg().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\A\\A1");
  reg().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\B\\B1");
  reg().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\C");
  reg().DenyAccess(kLm, "SOFTWARE\\SvTree\\B\\B1", true);
  EXPECT_EQ(5u, SvRegDeleteTree(kLm, "SOFTWARE\\SvTree"));
  EXPECT_FALSE(reg().KeyExists(kLm, "SOFTWARE\\SvTree\\A"));
  EXPECT_TRUE(reg().KeyExists(kLm, "SOFTWARE\\SvTree\\B"));
  EXPECT_TRUE(reg().KeyExists(kLm, "SOFTWARE\\SvTree\\C"));
}

TEST_F(RegHelpersTest, MoveValuesCopiesThenPrunesUpToTheCutOff) {
  const std::string oldKey = "SOFTWARE\\OrrisLogic\\SOLVANE\\Setup\\CurrentConfiguration";
  const std::string newKey = "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";
  reg().SetString(kLm, oldKey, "InstallMode", "Custom");
  reg().SetString(kLm, oldKey, "Dir", "%SystemRoot%\\sv", svp::kRegExpandSz);
  reg().SetDword(kLm, oldKey, "Reinstall", 1);
  reg().CreateKeyPath(kLm, "SOFTWARE\\OrrisLogic\\Other");

  EXPECT_EQ(0, SvRegMoveValues(newKey, oldKey, "OrrisLogic"));
  std::string value;
  uint32_t type = 0;
  EXPECT_TRUE(reg().GetString(kLm, newKey, "InstallMode", &value));
  EXPECT_EQ("Custom", value);
  EXPECT_TRUE(reg().GetString(kLm, newKey, "Dir", &value, &type));
  EXPECT_EQ("%SystemRoot%\\sv", value);
  EXPECT_EQ(static_cast<uint32_t>(svp::kRegExpandSz), type);
  EXPECT_TRUE(reg().ValueExists(kLm, newKey, "Reinstall"));
  // Emptied parents go; the one with another subkey stays, and so does SOFTWARE.
  EXPECT_FALSE(reg().KeyExists(kLm, "SOFTWARE\\OrrisLogic\\SOLVANE"));
  EXPECT_TRUE(reg().KeyExists(kLm, "SOFTWARE\\OrrisLogic\\Other"));
  EXPECT_TRUE(reg().KeyExists(kLm, "SOFTWARE"));

  EXPECT_EQ(2, SvRegMoveValues(newKey, oldKey, "OrrisLogic"));
}

TEST_F(RegHelpersTest, MoveValuesWithoutValuesOrCutOff) {
  reg().CreateKeyPath(kLm, "SOFTWARE\\OrrisLogic\\Empty\\Setup");
  EXPECT_EQ(0, SvRegMoveValues("SOFTWARE\\SvNew", "SOFTWARE\\OrrisLogic\\Empty\\Setup",
                               "OrrisLogic"));
  EXPECT_FALSE(reg().KeyExists(kLm, "SOFTWARE\\SvNew"));
  EXPECT_FALSE(reg().KeyExists(kLm, "SOFTWARE\\OrrisLogic"));
  EXPECT_TRUE(reg().KeyExists(kLm, "SOFTWARE"));

  reg().SetString(kLm, "SOFTWARE\\SvOld", "v", "1");
  EXPECT_EQ(0, SvRegMoveValues("SOFTWARE\\SvNew", "SOFTWARE\\SvOld", nullptr));
  EXPECT_EQ(0, SvRegMoveValues("SOFTWARE\\SvNew", "SOFTWARE\\SvOld", ""));
  EXPECT_TRUE(reg().KeyExists(kLm, "SOFTWARE\\SvOld"));
  EXPECT_TRUE(reg().ValueExists(kLm, "SOFTWARE\\SvNew", "v"));
}

}  // namespace
