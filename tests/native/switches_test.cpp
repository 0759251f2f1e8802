#include "app/switches.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_platform.h"

namespace {

class SwitchListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.Install();
    // The initialisation's registration order.
    for (uint32_t id : {kSwSilent, kSwNoVerCheck, kSwNoNetCpl, kSwNoTextEdit, kSwNoCopy,
                        kSwForceCopy, kSwNoShortcuts, kSwForceNew, kSwAutoSetup}) {
      ASSERT_TRUE(list_.AddSwitch(id));
    }
  }

  std::string SetNames() const {
    std::string names;
    for (size_t i = 0; i < list_.GetCount(); ++i) {
      if (list_.GetAt(i)->IsSet()) names += list_.GetAt(i)->GetName() + " ";
    }
    return names;
  }

  svp::MemoryPlatform platform_;
  CSvSwitchList list_;
};

TEST_F(SwitchListTest, AbbreviationsFollowFromRegistrationOrder) {
  std::string abbreviations;
  for (size_t i = 0; i < list_.GetCount(); ++i) {
    const CSvSwitch* sw = list_.GetAt(i);
    abbreviations += sw->GetName().substr(0, static_cast<size_t>(sw->GetMinLength())) + " ";
  }
  EXPECT_EQ("SI NOV NON NOT NOC FORCEC NOS FORCEN AU ", abbreviations);
  EXPECT_EQ(nullptr, list_.GetAt(list_.GetCount()));
}

TEST_F(SwitchListTest, ParsingSplitsAtBothDelimitersAndIgnoresCase) {
  EXPECT_TRUE(list_.ParseSwitches("/SILENT /NOCOPY", "/-"));
  EXPECT_EQ("SILENT NOCOPY ", SetNames());
  EXPECT_TRUE(list_.ParseSwitches("/sil-noc", "/-"));
  EXPECT_EQ("SILENT NOCOPY ", SetNames());
  EXPECT_TRUE(list_.IsSwitchSet(kSwSilent));
  EXPECT_TRUE(list_.IsSwitchSet(kSwNoCopy));
  EXPECT_FALSE(list_.IsSwitchSet(kSwNoNetCpl));

  // Runs of delimiters give no empty tokens; an empty line sets nothing.
  EXPECT_TRUE(list_.ParseSwitches("//--/NOSH//", "/-"));
  EXPECT_EQ("NOSHORTCUTS ", SetNames());
  EXPECT_TRUE(list_.ParseSwitches("", "/-"));
  EXPECT_EQ("", SetNames());
  EXPECT_TRUE(list_.ParseSwitches(nullptr, "/-"));

  // Only the abbreviation is compared: the rest of the token is not looked at.
  EXPECT_TRUE(list_.ParseSwitches("/SIXTY/AUTOSETUP=D:\\ANSWERS.TXT", "/-"));
  EXPECT_EQ("SILENT AUTOSETUP ", SetNames());
  EXPECT_TRUE(list_.ParseSwitches("/FORCEC/FORCEN/NOSHORTCUTS", "/-"));
  EXPECT_EQ("FORCECOPY NOSHORTCUTS FORCENEW ", SetNames());
}

TEST_F(SwitchListTest, TooShortOrUnknownTokensFailAndKeepEarlierFlags) {
  for (const char* line : {"/S", "/NO", "/FORCE", "/XYZ", "/NOX"}) {
    EXPECT_FALSE(list_.ParseSwitches(line, "/-")) << line;
    EXPECT_EQ("", SetNames()) << line;
  }
  // A path with "-" splits into tokens that match nothing.
  EXPECT_FALSE(list_.ParseSwitches("/SILENT/NOCOPY/AUTOSETUP=C:\\my-answers.txt", "/-"));
  EXPECT_EQ("SILENT NOCOPY AUTOSETUP ", SetNames());
  // A leading blank before the first "/" is a token of its own.
  EXPECT_FALSE(list_.ParseSwitches(" /SILENT", "/-"));
  EXPECT_EQ(nullptr, list_.MatchSwitch("N"));
  EXPECT_EQ(nullptr, list_.MatchSwitch(nullptr));
}

TEST_F(SwitchListTest, OnlyThe512FirstCharactersAreParsed) {
  std::string line = "/SILENT";
  line.resize(512, '/');
  line += "NOCOPY";  // beyond the buffer: never seen
  EXPECT_TRUE(list_.ParseSwitches(line.c_str(), "/-"));
  EXPECT_EQ("SILENT ", SetNames());
  line = std::string(508, '/') + "NOCOPY";  // cut to "NOCO"
  EXPECT_TRUE(list_.ParseSwitches(line.c_str(), "/-"));
  EXPECT_EQ("NOCOPY ", SetNames());
}

TEST(SwitchList, MissingNamesAreNotRegisteredAndAnswerFalse) {
  svp::MemoryPlatform platform;
  platform.Install();
  platform.system().RemoveString(kSwForceNew);
  CSvSwitchList list;
  EXPECT_FALSE(list.AddSwitch(kSwForceNew));
  EXPECT_FALSE(list.AddSwitch(1));  // no such string
  EXPECT_TRUE(list.AddSwitch(kSwForceCopy));
  EXPECT_EQ(1u, list.GetCount());
  // Alone, FORCECOPY needs only two characters.
  EXPECT_EQ(2, list.GetAt(0)->GetMinLength());
  EXPECT_TRUE(list.ParseSwitches("-FO", "/-"));
  EXPECT_TRUE(list.IsSwitchSet(kSwForceCopy));
  EXPECT_FALSE(list.IsSwitchSet(kSwForceNew));
  EXPECT_FALSE(list.IsSwitchSet(kSwAutoSetup));
}

TEST(SwitchList, NamesThatArePrefixesOfOthers) {
  svp::MemoryPlatform platform;
  platform.Install();
  platform.system().SetString(30001, "NOCOPYX");
  platform.system().SetString(30002, "NOCOPY");
  platform.system().SetString(30003, "NOC");

  // A new name that is a prefix of an older one changes neither length.
  CSvSwitchList first;
  ASSERT_TRUE(first.AddSwitch(30001));
  ASSERT_TRUE(first.AddSwitch(30002));
  EXPECT_EQ(2, first.GetAt(0)->GetMinLength());
  EXPECT_EQ(2, first.GetAt(1)->GetMinLength());
  EXPECT_TRUE(first.ParseSwitches("/NO", "/-"));
  EXPECT_TRUE(first.IsSwitchSet(30001));
  EXPECT_FALSE(first.IsSwitchSet(30002));

  // An older name that is a prefix of the new one: both need one character
  // more than the older name has, so the older can no longer be given.
  CSvSwitchList second;
  ASSERT_TRUE(second.AddSwitch(30003));
  ASSERT_TRUE(second.AddSwitch(30002));
  EXPECT_EQ(4, second.GetAt(0)->GetMinLength());
  EXPECT_EQ(4, second.GetAt(1)->GetMinLength());
  EXPECT_FALSE(second.ParseSwitches("/NOC", "/-"));
  EXPECT_TRUE(second.ParseSwitches("/noco", "/-"));
  EXPECT_FALSE(second.IsSwitchSet(30003));
  EXPECT_TRUE(second.IsSwitchSet(30002));
}

}  // namespace
