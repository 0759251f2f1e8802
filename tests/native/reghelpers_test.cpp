#include "registry/reghelpers.h"

#include <string>
#include <tuple>

#include "wizard_test_support.h"

namespace {

constexpr svp::RegKey kLm = svp::kHKeyLocalMachine;
const char kEnv[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

class RegHelpersTest : public WorkstationFixture {
 protected:

  // A value's text, "<absent>", with " (expand)" for REG_EXPAND_SZ.
  std::string Value(const std::string& key, const char* name) {
    std::string value;
    uint32_t type = 0;
    if (!registry().GetString(kLm, key, name, &value, &type)) return "<absent>";
    return type == svp::kRegExpandSz ? value + " (expand)" : value;
  }
  bool Exists(const std::string& key) { return registry().KeyExists(kLm, key); }
};

TEST_F(RegHelpersTest, EditListSetsAppendsPrependsAndRemovesEntries) {
  const std::tuple<const char*, const char*, int, const char*> cases[] = {
      {"C:\\A;C:\\B", "C:\\A", 3, "C:\\B;"},
      {"C:\\A;C:\\B", "C:\\C", 3, "C:\\A;C:\\B"},  // nothing written
      {"XA;Y", "A", 3, "XY;"},
      {"c:\\a;C:\\B", "C:\\A", 3, "c:\\a;C:\\B"},  // case-sensitive
      {"C:\\A;C:\\B;", "C:\\B", 3, "C:\\A;"},
      {"C:\\A", "C:\\A", 3, ""},
      {"", "C:\\A", 3, ""},
      {"X", "Y", 1, "X;Y"},
      {"X", "Y", 2, "Y;X"},
      {"X", "X", 1, "X"},
      {"X", "X", 2, "X"},
      {"X;", "Y", 1, "X;Y"},
      {"X;", "Y", 2, "Y;X;"},
      {"a;b", "new", 0, "new"},
  };
  for (const auto& [before, item, mode, after] : cases) {
    registry().SetString(kLm, kEnv, "Path", before);
    EXPECT_EQ(0, SvRegEditList(kEnv, "Path", item, mode)) << before << " " << mode;
    EXPECT_EQ(after, Value(kEnv, "Path")) << before << " " << item << " " << mode;
  }

  // REG_EXPAND_SZ stays so through every edit but a set.
  for (int mode : {1, 2, 3}) {
    registry().SetString(kLm, kEnv, "Path", "%SystemRoot%;C:\\SV", svp::kRegExpandSz);
    EXPECT_EQ(0, SvRegEditList(kEnv, "Path", mode == 3 ? "C:\\SV" : "C:\\New", mode));
    EXPECT_NE(std::string::npos, Value(kEnv, "Path").find(" (expand)")) << mode;
  }
  EXPECT_EQ("%SystemRoot%; (expand)", Value(kEnv, "Path"));
  EXPECT_EQ(0, SvRegEditList(kEnv, "Path", "x", 0));
  EXPECT_EQ("x", Value(kEnv, "Path"));

  // A missing value: remove does nothing, prepend creates it as a plain string.
  registry().CreateKeyPath(kLm, "SOFTWARE\\SvList");
  EXPECT_EQ(0, SvRegEditList("SOFTWARE\\SvList", "L", "C:\\A", 3));
  EXPECT_EQ("<absent>", Value("SOFTWARE\\SvList", "L"));
  EXPECT_EQ(0, SvRegEditList("SOFTWARE\\SvList", "L", "C:\\A", 2));
  EXPECT_EQ("C:\\A", Value("SOFTWARE\\SvList", "L"));
  EXPECT_EQ(2, SvRegEditList("SOFTWARE\\NoSuchKey", "L", "x", 1));
}

TEST_F(RegHelpersTest, ReadersOfKeysAndValues) {
  registry().SetString(kLm, "SOFTWARE\\SvRead", "InfName", "oemnxpsv.inf");
  registry().SetDword(kLm, "SOFTWARE\\SvRead", "Count", 7);
  EXPECT_TRUE(SvRegKeyExists("software\\svread"));
  EXPECT_FALSE(SvRegKeyExists("SOFTWARE\\SvMissing"));

  std::string out = "unchanged";
  EXPECT_EQ(2u, SvRegGetString("SOFTWARE\\SvRead", "Missing", out));
  EXPECT_EQ(2u, SvRegGetString("SOFTWARE\\SvMissing", "InfName", out));
  EXPECT_EQ("unchanged", out);
  EXPECT_EQ(13u, SvRegGetString("SOFTWARE\\SvRead", "InfName", out));
  EXPECT_EQ("oemnxpsv.inf", out);

  uint8_t buffer[8] = {};
  uint32_t size = sizeof(buffer);
  EXPECT_TRUE(SvRegQueryValue("SOFTWARE\\SvRead", "Count", buffer, &size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(7, buffer[0]);
  size = 4;
  EXPECT_FALSE(SvRegQueryValue("SOFTWARE\\SvRead", "InfName", buffer, &size));  // too small
  EXPECT_FALSE(SvRegQueryValue("SOFTWARE\\SvRead", "InfName", buffer, nullptr));
  size = sizeof(buffer);
  EXPECT_FALSE(SvRegQueryValue("SOFTWARE\\SvMissing", "Count", buffer, &size));

  registry().DenyAccess(kLm, "SOFTWARE\\SvRead", true);
  EXPECT_FALSE(SvRegKeyExists("SOFTWARE\\SvRead"));
  EXPECT_EQ(5u, SvRegGetString("SOFTWARE\\SvRead", "InfName", out));
  EXPECT_EQ(5, SvRegEditList("SOFTWARE\\SvRead", "InfName", "x", 1));
}

TEST_F(RegHelpersTest, DeleteTreeRemovesDeepestFirstNeverItsRootAndStopsAtARefusal) {
  registry().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\A\\A1\\A11");
  registry().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\B");
  registry().SetString(kLm, "SOFTWARE\\SvTree\\A\\A1", "v", "x");
  EXPECT_EQ(1010u, SvRegDeleteTree(kLm, ""));
  EXPECT_EQ(1010u, SvRegDeleteTree(kLm, nullptr));
  EXPECT_EQ(2u, SvRegDeleteTree(kLm, "SOFTWARE\\SvNone"));
  EXPECT_EQ(0u, SvRegDeleteTree(kLm, "SOFTWARE\\SvTree"));
  EXPECT_FALSE(Exists("SOFTWARE\\SvTree"));
  EXPECT_TRUE(Exists("SOFTWARE"));

  registry().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\A\\A1");
  registry().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\B\\B1");
  registry().CreateKeyPath(kLm, "SOFTWARE\\SvTree\\C");
  registry().DenyAccess(kLm, "SOFTWARE\\SvTree\\B\\B1", true);
  EXPECT_EQ(5u, SvRegDeleteTree(kLm, "SOFTWARE\\SvTree"));
  EXPECT_FALSE(Exists("SOFTWARE\\SvTree\\A"));
  EXPECT_TRUE(Exists("SOFTWARE\\SvTree\\B"));
  EXPECT_TRUE(Exists("SOFTWARE\\SvTree\\C"));
}

TEST_F(RegHelpersTest, MoveValuesCopiesThenPrunesUpToTheCutOff) {
  const std::string oldKey = "SOFTWARE\\OrrisLogic\\SOLVANE\\Setup\\CurrentConfiguration";
  registry().SetString(kLm, oldKey, "InstallMode", "Custom");
  registry().SetString(kLm, oldKey, "Dir", "%SystemRoot%\\sv", svp::kRegExpandSz);
  registry().SetDword(kLm, oldKey, "Reinstall", 1);
  registry().CreateKeyPath(kLm, "SOFTWARE\\OrrisLogic\\Other");

  EXPECT_EQ(0, SvRegMoveValues(kConfigKey, oldKey, "OrrisLogic"));
  EXPECT_EQ("Custom", Value(kConfigKey, "InstallMode"));
  EXPECT_EQ("%SystemRoot%\\sv (expand)", Value(kConfigKey, "Dir"));
  uint32_t dword = 0;
  EXPECT_TRUE(registry().GetDword(kLm, kConfigKey, "Reinstall", &dword));
  EXPECT_EQ(1u, dword);
  // Emptied parents go; the one with another subkey stays, and so does SOFTWARE.
  EXPECT_FALSE(Exists("SOFTWARE\\OrrisLogic\\SOLVANE"));
  EXPECT_TRUE(Exists("SOFTWARE\\OrrisLogic\\Other"));
  EXPECT_EQ(2, SvRegMoveValues(kConfigKey, oldKey, "OrrisLogic"));

  // No values: no destination, but the source path is still pruned.
  registry().CreateKeyPath(kLm, "SOFTWARE\\OrrisLogic\\Empty\\Setup");
  registry().RemoveKeyTree(kLm, "SOFTWARE\\OrrisLogic\\Other");
  EXPECT_EQ(0,
            SvRegMoveValues("SOFTWARE\\SvNew", "SOFTWARE\\OrrisLogic\\Empty\\Setup", "OrrisLogic"));
  EXPECT_FALSE(Exists("SOFTWARE\\SvNew"));
  EXPECT_FALSE(Exists("SOFTWARE\\OrrisLogic"));
  EXPECT_TRUE(Exists("SOFTWARE"));

  // Without a cut-off the source stays.
  registry().SetString(kLm, "SOFTWARE\\SvOld", "v", "1");
  EXPECT_EQ(0, SvRegMoveValues("SOFTWARE\\SvNew", "SOFTWARE\\SvOld", nullptr));
  EXPECT_EQ(0, SvRegMoveValues("SOFTWARE\\SvNew", "SOFTWARE\\SvOld", ""));
  EXPECT_TRUE(Exists("SOFTWARE\\SvOld"));
  EXPECT_EQ("1", Value("SOFTWARE\\SvNew", "v"));
}

}  // namespace
