// Deleting and copying one file record: restart requests, the source search,
// attributes and times, version resources and the MS-DOS time rounding.
#include <string>
#include <tuple>

#include "files/fileops.h"
#include "phase_test_support.h"

namespace {

class FileOpsTest : public PhaseFixture {
 protected:
  CSvLocation source_{"C:\\KIT\\BIN"};
  CSvLocation dest_{"C:\\SV32\\"};

  CSvFile Copy(const char* name, uint32_t flags) {
    return CSvFile(name, name, &source_, &dest_, nullptr, flags, 0);
  }
};

TEST_F(FileOpsTest, PathsJoinLocationAndNameWithOneBackslash) {
  CSvFile copy = Copy("NETDRV.SYS", 0);
  EXPECT_EQ("C:\\SV32\\NETDRV.SYS", SvGetFilePath(&copy, 1));
  CSvLocation empty("");
  CSvFile bare("a.ini", "", &empty, nullptr, nullptr, 0, 0);
  EXPECT_EQ("a.ini", SvGetFilePath(&bare, 0));
  EXPECT_EQ("", SvGetFilePath(&bare, 1));
  CSvFile nameless("", "", &empty, nullptr, nullptr, 0, 0);
  EXPECT_EQ(5u, SvDeleteFile(&nameless));
  EXPECT_EQ(5u, SvCopyFile(kit_.get(), &bare, 0, nullptr));
}

TEST_F(FileOpsTest, CopyGivesTheSourcesTimesAndAttributesWithoutReadOnly) {
  files().MakeDirectory("C:\\SV32");
  files().WriteFile("C:\\KIT\\BIN\\A.DLL", "new");
  files().SetFileTimes("C:\\KIT\\BIN\\A.DLL", svp::FileTime{0xc89dc000, 0x1c07385},
                       svp::FileTime{0x7b682300, 0x1c1c44e}, svp::FileTime{0x7acf8c80, 0x1c1c44e});
  svp::Fs().SetFileAttributes("C:\\KIT\\BIN\\A.DLL",
                              svp::kAttrReadOnly | svp::kAttrHidden | svp::kAttrArchive);
  CSvFile file = Copy("A.DLL", kSvCopyRequired | kSvCopyNoVersionCheck);
  EXPECT_EQ(0u, SvCopyFile(kit_.get(), &file, file.GetCopyFlags(), nullptr));
  EXPECT_EQ("new", files().ReadFile("C:\\SV32\\A.DLL"));
  EXPECT_EQ(svp::kAttrHidden | svp::kAttrArchive, svp::Fs().GetFileAttributes("C:\\SV32\\A.DLL"));
  svp::FileTime c, a, w;
  ASSERT_TRUE(files().GetFileTimes("C:\\SV32\\A.DLL", &c, &a, &w));
  EXPECT_EQ(0xc89dc000u, c.low);
  EXPECT_EQ(0x7b682300u, a.low);
  EXPECT_EQ(0x7acf8c80u, w.low);
}

TEST_F(FileOpsTest, MissingSourceIsSearchedForOnlyForRequiredOrRestartRecords) {
  files().MakeDirectory("C:\\SV32");
  CSvFile optional = Copy("NETDRV.SYS", 0);
  EXPECT_EQ(14u, SvCopyFile(kit_.get(), &optional, 0, nullptr));
  EXPECT_TRUE(ui().openFileRequests().empty());

  // Another name is refused and the dialog comes back; the right name in
  // another directory is taken.
  files().WriteFile("D:\\DISK1\\NETDRV.SYS", "drv");
  ui().QueueOpenFileAnswer(true, "D:\\DISK1\\OTHER.SYS");
  ui().QueueOpenFileAnswer(true, "D:\\DISK1\\netdrv.sys");
  CSvFile required = Copy("NETDRV.SYS", kSvCopyRequired | kSvCopyNoVersionCheck);
  EXPECT_EQ(0u, SvCopyFile(kit_.get(), &required, required.GetCopyFlags(), nullptr));
  EXPECT_EQ("drv", files().ReadFile("C:\\SV32\\NETDRV.SYS"));
  ASSERT_EQ(2u, ui().openFileRequests().size());
  const svp::OpenFileRequest& request = ui().openFileRequests()[0];
  EXPECT_EQ("NETDRV.SYS", request.fileName);
  EXPECT_EQ("SYS", request.defaultExtension);
  EXPECT_EQ(svp::kOfnHideReadOnly | svp::kOfnOverwritePrompt, request.flags);
  EXPECT_FALSE(request.owned);
  EXPECT_EQ(decltype(request.filters)({{"Installation File", "*.SYS"}, {"All Files", "*.*"}}),
            request.filters);

  // Giving up restores the error that made the source missing (the
  // directory is missing: 3).
  ui().QueueOpenFileAnswer(false, "");
  CSvFile restart = Copy("OTHER.DLL", kSvCopyReplaceAtRestart);
  EXPECT_EQ(14u, SvCopyFile(kit_.get(), &restart, restart.GetCopyFlags(), nullptr));
  EXPECT_EQ(3u, svp::Fs().GetLastError());
  EXPECT_EQ(3u, ui().openFileRequests().size());
}

// A one-letter extension keeps the whole name; a name that already ends in RB,
// in either case, is never its own temporary name.
TEST_F(FileOpsTest, BusyDestinationIsReplacedAtRestartThroughTheRbName) {
  const std::pair<const char*, const char*> names[] = {
      {"NETLIB.DLL", "NETLIB.DRB"}, {"X.C", "X.CRB"},        {"FOO.RB", "FOO.RBRB"},
      {"X.DRB", "X.DRBRB"},         {"lib.rb", "lib.rbRB"}};
  for (const auto& [name, temporary] : names) {
    const std::string destination = std::string("C:\\SV32\\") + name;
    files().WriteFile(std::string("C:\\KIT\\BIN\\") + name, "new");
    files().WriteFile(destination, "old");
    files().SetInUse(destination, true);
    CSvFile busy = Copy(name, kSvCopyReplaceAtRestart | kSvCopyNoVersionCheck);
    EXPECT_EQ(0u, SvCopyFile(kit_.get(), &busy, busy.GetCopyFlags(), nullptr)) << name;
    EXPECT_EQ("old", files().ReadFile(destination)) << name;
    EXPECT_EQ("new", files().ReadFile(std::string("C:\\SV32\\") + temporary)) << name;
  }
  // Each is deleted first at the restart: the delayed rename replaces nothing.
  EXPECT_EQ(2 * std::size(names), files().PendingOperations().size());
  platform_.Restart();
  for (const auto& [name, temporary] : names) {
    EXPECT_EQ("new", files().ReadFile(std::string("C:\\SV32\\") + name)) << name;
    EXPECT_FALSE(files().Exists(std::string("C:\\SV32\\") + temporary)) << name;
  }
}

TEST_F(FileOpsTest, FailedCopyIsAnErrorOnlyForRequiredRecordsAndCancelWins) {
  files().WriteFile("C:\\KIT\\BIN\\A.DLL", "new");
  files().WriteFile("C:\\SV32\\A.DLL", "old");
  files().SetInUse("C:\\SV32\\A.DLL", true);
  CSvFile plain = Copy("A.DLL", kSvCopyNoVersionCheck);
  EXPECT_EQ(0u, SvCopyFile(kit_.get(), &plain, plain.GetCopyFlags(), nullptr));
  CSvFile required = Copy("A.DLL", kSvCopyRequired | kSvCopyNoVersionCheck);
  EXPECT_EQ(14u, SvCopyFile(kit_.get(), &required, required.GetCopyFlags(), nullptr));
  EXPECT_EQ(32u, svp::Fs().GetLastError());
  EXPECT_EQ("old", files().ReadFile("C:\\SV32\\A.DLL"));

  kit_->SetCancelled();
  files().SetInUse("C:\\SV32\\A.DLL", false);
  EXPECT_EQ(1u, SvCopyFile(kit_.get(), &required, required.GetCopyFlags(), nullptr));
  EXPECT_EQ("old", files().ReadFile("C:\\SV32\\A.DLL"));
  EXPECT_TRUE(files().PendingOperations().empty());
}

// The rounding to two seconds shows in the version question's date.
TEST_F(FileOpsTest, TimesWithoutAnMsDosFormAreRefused) {
  files().WriteFile("C:\\ODD.TXT", "x");
  // 1979 has no MS-DOS form.
  files().SetFileTimes("C:\\ODD.TXT", {}, {}, svp::FileTime{0xe13ce980, 0x1a8e79f});
  svp::ByHandleFileInfo info;
  EXPECT_EQ(14u, SvGetFileTimes("C:\\ODD.TXT", &info));
  EXPECT_EQ(5u, SvGetFileTimes("C:\\NONE.TXT", &info));

  // March 31st has a form, February 30th none.
  svp::FileTime back;
  EXPECT_TRUE(SvDosDateTimeToFileTime((22 << 9) | (3 << 5) | 31, 0, &back));
  EXPECT_FALSE(SvDosDateTimeToFileTime((22 << 9) | (2 << 5) | 30, 0, &back));
}

TEST_F(FileOpsTest, VersionResourceGivesNumbersTextsAndFallsBackToTimes) {
  svp::MemoryVersionResource bare;  // no string table: the numbers as "%x.%x"
  bare.fixed[2] = 0x00040000;
  bare.fixed[3] = 0x00010002;
  // An empty translation table means US English, Unicode.  The texts of a
  // listed translation show in the version question.
  svp::MemoryVersionResource noLanguage = bare;
  noLanguage.hasTranslationBlock = true;
  noLanguage.strings["040904b0\\FileVersion"] = "4.0.9.9";
  noLanguage.strings["040904b0\\FileDescription"] = "Trellnet library";
  const std::tuple<const char*, svp::MemoryVersionResource, const char*, const char*> cases[] = {
      {"C:\\BARE.DLL", bare, "40000.10002", ""},
      {"C:\\NOLANG.DLL", noLanguage, "4.0.9.9", "Trellnet library"},
  };
  SvVersionInfo info;
  for (const auto& [path, resource, version, description] : cases) {
    files().WriteFile(path, "x");
    files().SetVersionResource(path, resource);
    EXPECT_EQ(0u, SvGetFileVersion(path, &info)) << path;
    EXPECT_EQ(version, info.version) << path;
    EXPECT_EQ(description, info.description) << path;
  }
  EXPECT_EQ(0xFEEF04BDu, info.fixed.signature);

  // No resource: the times are read and the version words stay 0.
  files().WriteFile("C:\\PLAIN.TXT", "abc");
  info.fixed.fileVersionMS = 7;
  EXPECT_EQ(0u, SvGetFileVersion("C:\\PLAIN.TXT", &info));
  EXPECT_EQ(0u, info.fixed.fileVersionMS);
  EXPECT_EQ("", info.version);
  EXPECT_EQ(3u, info.file.sizeLow);
  EXPECT_EQ(5u, SvGetFileVersion("C:\\MISSING.DLL", &info));
}

}  // namespace
