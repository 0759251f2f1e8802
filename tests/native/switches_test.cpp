#include "app/switches.h"

#include <string>

#include "wizard_test_support.h"

namespace {

class SwitchListTest : public WorkstationFixture {
 protected:

  // Registers the ids into a fresh list; each switch's abbreviation.
  std::string Register(std::initializer_list<uint32_t> ids) {
    list_ = std::make_unique<CSvSwitchList>();
    for (uint32_t id : ids) EXPECT_TRUE(list_->AddSwitch(id)) << id;
    std::string out;
    for (size_t i = 0; i < list_->GetCount(); ++i)
      out += list_->GetAt(i)->GetName().substr(0, list_->GetAt(i)->GetMinLength()) + " ";
    return out;
  }
  // "<parse result>:<names of the set switches>".
  std::string Parse(const std::string& line) {
    std::string out = list_->ParseSwitches(line.c_str(), "/-") ? "ok:" : "bad:";
    for (size_t i = 0; i < list_->GetCount(); ++i)
      if (list_->GetAt(i)->IsSet()) out += list_->GetAt(i)->GetName() + " ";
    return out;
  }

  std::unique_ptr<CSvSwitchList> list_;
};

TEST_F(SwitchListTest, AbbreviationsFollowFromRegistrationOrderAndParsingStopsAtAnUnknownToken) {
  EXPECT_EQ("SI NOV NON NOT NOC FORCEC NOS FORCEN AU ",
            Register({kSwSilent, kSwNoVerCheck, kSwNoNetCpl, kSwNoTextEdit, kSwNoCopy, kSwForceCopy,
                      kSwNoShortcuts, kSwForceNew, kSwAutoSetup}));
  EXPECT_EQ(nullptr, list_->GetAt(list_->GetCount()));
  const std::pair<std::string, const char*> cases[] = {
      {"/SILENT /NOCOPY", "ok:SILENT NOCOPY "},
      {"/sil-noc", "ok:SILENT NOCOPY "},
      {"//--/NOSH//", "ok:NOSHORTCUTS "},  // no empty tokens
      {"", "ok:"},
      // Only the abbreviation is compared: the rest of the token is not looked at.
      {"/SIXTY/AUTOSETUP=D:\\ANSWERS.TXT", "ok:SILENT AUTOSETUP "},
      {"/FORCEC/FORCEN/NOSHORTCUTS", "ok:FORCECOPY NOSHORTCUTS FORCENEW "},
      {"/S", "bad:"},
      {"/NO", "bad:"},
      {"/NOX", "bad:"},
      {"/SILENT/NOCOPY/AUTOSETUP=C:\\my-answers.txt", "bad:SILENT NOCOPY AUTOSETUP "},
      {" /SILENT", "bad:"},  // a leading blank is a token of its own
      // Only 512 characters are looked at.
      {"/SILENT" + std::string(505, '/') + "NOCOPY", "ok:SILENT "},
      {std::string(508, '/') + "NOCOPY", "ok:NOCOPY "},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(expected, Parse(line)) << line;
  EXPECT_TRUE(list_->ParseSwitches(nullptr, "/-"));
  EXPECT_EQ(nullptr, list_->MatchSwitch("N"));
  EXPECT_EQ(nullptr, list_->MatchSwitch(nullptr));
}

TEST_F(SwitchListTest, MissingNamesAreNotRegisteredAndAnswerFalse) {
  system().RemoveString(kSwForceNew);
  EXPECT_EQ("FO ", Register({kSwForceCopy}));  // alone, FORCECOPY needs only two characters
  EXPECT_FALSE(list_->AddSwitch(kSwForceNew));
  EXPECT_EQ("ok:FORCECOPY ", Parse("-FO"));
  EXPECT_FALSE(list_->IsSwitchSet(kSwForceNew));
}

TEST_F(SwitchListTest, NamesThatArePrefixesOfOthers) {
  system().SetString(30001, "NOCOPYX");
  system().SetString(30002, "NOCOPY");
  system().SetString(30003, "NOC");
  // A new name that is a prefix of an older one changes neither length.
  EXPECT_EQ("NO NO ", Register({30001, 30002}));
  EXPECT_EQ("ok:NOCOPYX ", Parse("/NO"));
  // An older name that is a prefix of the new one: both need one character
  // more than the older name has, so the older can no longer be given.
  EXPECT_EQ("NOC NOCO ", Register({30003, 30002}));
  EXPECT_EQ("bad:", Parse("/NOC"));
  EXPECT_EQ("ok:NOCOPY ", Parse("/noco"));
}

}  // namespace
