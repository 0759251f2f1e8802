// The version comparison before a copy: older, newer and equal versions,
// dates when there is no version, No to All, and what the dialog shows.
#include <string>

#include "files/fileops.h"
#include "files/verconfl.h"
#include "phase_test_support.h"
#include "platform/dialogs.h"

namespace {

class VersionConflictTest : public PhaseFixture {
 protected:
  CSvLocation source_{"C:\\KIT"};
  CSvLocation dest_{"C:\\SV32"};

  void Versioned(const std::string& path, uint32_t ms, uint32_t ls, const std::string& text) {
    svp::MemoryVersionResource r;
    r.fixed[2] = ms;
    r.fixed[3] = ls;
    r.translations = {0x04e40409};
    r.hasTranslationBlock = true;
    r.strings["040904e4\\FileVersion"] = text;
    r.strings["040904e4\\FileDescription"] = "Trellnet transport";
    files().WriteFile(path, "content of " + path);
    files().SetVersionResource(path, r);
  }

  // Copies NET.DLL from C:\KIT to C:\SV32 with version checking.
  uint32_t CopyNet(uint32_t flags = 0) {
    CSvFile file("NET.DLL", "NET.DLL", &source_, &dest_, nullptr, 0, 0);
    return SvCopyFile(kit_.get(), &file, flags, nullptr);
  }
  bool Copied() { return files().ReadFile("C:\\SV32\\NET.DLL") == "content of C:\\KIT\\NET.DLL"; }
};

TEST_F(VersionConflictTest, OlderSourceAsksAndYesKeepsTheExistingFile) {
  Versioned("C:\\KIT\\NET.DLL", 0x00040000, 0x00010002, "4.0.1.2");
  Versioned("C:\\SV32\\NET.DLL", 0x00040000, 0x00010003, "4.0.1.3");
  dialogs().QueueVersionAnswer(svp::kIdVersionYes);
  EXPECT_EQ(0u, CopyNet());
  EXPECT_FALSE(Copied());
  ASSERT_EQ(1u, dialogs().shown().size());
  const svp::VersionConflictTexts& texts = dialogs().shown()[0];
  EXPECT_EQ("Your version:", texts.label);
  EXPECT_EQ("4.0.1.3", texts.value);
  EXPECT_EQ("C:\\SV32\\NET.DLL", texts.fileName);
  EXPECT_EQ("Trellnet transport", texts.description);

  // No copies, and asks again next time.
  dialogs().QueueVersionAnswer(svp::kIdVersionNo);
  EXPECT_EQ(0u, CopyNet());
  EXPECT_TRUE(Copied());
  EXPECT_EQ(2u, dialogs().shown().size());
  EXPECT_FALSE(SvIsNoToAllChosen());

  // Forced, the copy compares nothing.
  Versioned("C:\\SV32\\NET.DLL", 0x00040000, 0x00010003, "4.0.1.3");
  EXPECT_EQ(0u, CopyNet(kSvCopyNoVersionCheck));
  EXPECT_TRUE(Copied());
  EXPECT_EQ(2u, dialogs().shown().size());
}

TEST_F(VersionConflictTest, NewerEqualOrMissingDestinationCopiesWithoutAsking) {
  Versioned("C:\\KIT\\NET.DLL", 0x00040000, 0x00010003, "4.0.1.3");
  Versioned("C:\\SV32\\NET.DLL", 0x00040000, 0x00010002, "4.0.1.2");
  EXPECT_EQ(1u, SvCheckVersionConflict("C:\\KIT\\NET.DLL", "C:\\SV32\\NET.DLL"));
  Versioned("C:\\SV32\\NET.DLL", 0x00040000, 0x00010003, "4.0.1.3");
  EXPECT_EQ(1u, SvCheckVersionConflict("C:\\KIT\\NET.DLL", "C:\\SV32\\NET.DLL"));
  // The high words decide before the low ones, unsigned.
  Versioned("C:\\SV32\\NET.DLL", 0x00030000, 0xFFFFFFFF, "3.0.65535.65535");
  EXPECT_EQ(1u, SvCheckVersionConflict("C:\\KIT\\NET.DLL", "C:\\SV32\\NET.DLL"));
  EXPECT_EQ(1u, SvCheckVersionConflict("C:\\KIT\\NET.DLL", "C:\\SV32\\ABSENT.DLL"));
  EXPECT_TRUE(dialogs().shown().empty());
  // A source that cannot be examined is not copied.
  EXPECT_EQ(0u, SvCheckVersionConflict("C:\\KIT\\ABSENT.DLL", "C:\\SV32\\NET.DLL"));
}

TEST_F(VersionConflictTest, NoToAllStopsTheQuestionsForTheRestOfTheRun) {
  Versioned("C:\\KIT\\NET.DLL", 0x00040000, 0x00010002, "4.0.1.2");
  Versioned("C:\\SV32\\NET.DLL", 0x00040000, 0x00010003, "4.0.1.3");
  Versioned("C:\\KIT\\TWO.DLL", 0x00010000, 0, "1.0");
  Versioned("C:\\SV32\\TWO.DLL", 0x00020000, 0, "2.0");
  dialogs().QueueVersionAnswer(svp::kIdVersionNoToAll);
  EXPECT_EQ(0u, CopyNet());
  EXPECT_TRUE(Copied());
  EXPECT_TRUE(SvIsNoToAllChosen());
  CSvFile two("TWO.DLL", "TWO.DLL", &source_, &dest_, nullptr, 0, 0);
  EXPECT_EQ(0u, SvCopyFile(kit_.get(), &two, 0, nullptr));
  EXPECT_EQ("content of C:\\KIT\\TWO.DLL", files().ReadFile("C:\\SV32\\TWO.DLL"));
  EXPECT_EQ(1u, dialogs().shown().size());
}

TEST_F(VersionConflictTest, NoVersionComparesLastWriteTimesAndShowsTheLocalDate) {
  files().WriteFile("C:\\KIT\\NET.DLL", "content of C:\\KIT\\NET.DLL");
  files().WriteFile("C:\\SV32\\NET.DLL", "old");
  // Source 2001-01-01, destination 2002-03-05 13:03:11 UTC.
  files().SetFileTimes("C:\\KIT\\NET.DLL", {}, {}, svp::FileTime{0xc89dc000, 0x1c07385});
  files().SetFileTimes("C:\\SV32\\NET.DLL", {}, {}, svp::FileTime{0x1a3c5180, 0x1c1c446});
  dialogs().SetUtcOffsetMinutes(60);
  dialogs().QueueVersionAnswer(svp::kIdVersionYes);
  EXPECT_EQ(0u, CopyNet());
  EXPECT_FALSE(Copied());
  ASSERT_EQ(1u, dialogs().shown().size());
  EXPECT_EQ("File date:", dialogs().shown()[0].label);
  EXPECT_EQ("14:03:10, Tue, Mar 05, 2002", dialogs().shown()[0].value);

  // Equal times are no conflict; a versioned source never looks at dates.
  files().SetFileTimes("C:\\KIT\\NET.DLL", {}, {}, svp::FileTime{0x1a3c5180, 0x1c1c446});
  EXPECT_EQ(1u, SvCheckVersionConflict("C:\\KIT\\NET.DLL", "C:\\SV32\\NET.DLL"));
  Versioned("C:\\KIT\\NET.DLL", 0x00010000, 0, "1.0");
  files().SetFileTimes("C:\\KIT\\NET.DLL", {}, {}, svp::FileTime{0xc89dc000, 0x1c07385});
  EXPECT_EQ(1u, SvCheckVersionConflict("C:\\KIT\\NET.DLL", "C:\\SV32\\NET.DLL"));
  EXPECT_EQ(1u, dialogs().shown().size());

  // So does an unversioned source over a versioned destination.
  files().WriteFile("C:\\KIT\\PLAIN.DLL", "plain");
  files().SetFileTimes("C:\\KIT\\PLAIN.DLL", {}, {}, svp::FileTime{0xc89dc000, 0x1c07385});
  Versioned("C:\\SV32\\NET.DLL", 0x00040000, 0, "4.0");
  files().SetFileTimes("C:\\SV32\\NET.DLL", {}, {}, svp::FileTime{0x1a3c5180, 0x1c1c446});
  dialogs().QueueVersionAnswer(svp::kIdVersionNo);
  EXPECT_EQ(1u, SvCheckVersionConflict("C:\\KIT\\PLAIN.DLL", "C:\\SV32\\NET.DLL"));
  ASSERT_EQ(2u, dialogs().shown().size());
  EXPECT_EQ("14:03:10, Tue, Mar 05, 2002", dialogs().shown()[1].value);
}

}  // namespace
