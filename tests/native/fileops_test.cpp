// Deleting and copying one file record: restart requests, the source search,
// attributes and times, version resources and the MS-DOS time rounding.
#include <string>
#include <tuple>

#include "files/fileops.h"
#include "phase_test_support.h"

namespace {

using svp::PendingOperation;

class FileOpsTest : public PhaseFixture {
 protected:
  CSvLocation source_{"C:\\KIT\\BIN"};
  CSvLocation dest_{"C:\\SV32\\"};

  CSvFile Copy(const char* name, uint32_t flags) {
    return CSvFile(name, name, &source_, &dest_, nullptr, flags, 0);
  }
  CSvFile Delete(const char* name) { return CSvFile(name, "", &dest_, nullptr, nullptr, 0, 0); }
  // The operations queued for the restart, as "<from>><to>".
  Strings Pending() {
    Strings out;
    for (const auto& op : files().PendingOperations()) out.push_back(op.from + ">" + op.to);
    return out;
  }
};

TEST_F(FileOpsTest, PathsJoinLocationAndNameWithOneBackslash) {
  CSvFile copy = Copy("NETDRV.SYS", 0);
  EXPECT_EQ("C:\\KIT\\BIN\\NETDRV.SYS", SvGetFilePath(&copy, 0));
  EXPECT_EQ("C:\\SV32\\NETDRV.SYS", SvGetFilePath(&copy, 1));
  CSvLocation empty("");
  CSvFile bare("a.ini", "", &empty, nullptr, nullptr, 0, 0);
  EXPECT_EQ("a.ini", SvGetFilePath(&bare, 0));
  EXPECT_EQ("", SvGetFilePath(&bare, 1));
  CSvFile nameless("", "", &empty, nullptr, nullptr, 0, 0);
  EXPECT_EQ(5u, SvDeleteFile(&nameless));
  EXPECT_EQ(5u, SvCopyFile(kit_.get(), &bare, 0, nullptr));
}

TEST_F(FileOpsTest, DeleteLeavesBusyAndMissingFilesToTheRestartWithTheirOwnError) {
  files().WriteFile("C:\\SV32\\FREE.DLL", "x");
  files().WriteFile("C:\\SV32\\BUSY.DLL", "x");
  files().SetInUse("C:\\SV32\\BUSY.DLL", true);

  CSvFile free = Delete("FREE.DLL");
  EXPECT_EQ(0u, SvDeleteFile(&free));
  EXPECT_FALSE(files().Exists("C:\\SV32\\FREE.DLL"));

  CSvFile busy = Delete("BUSY.DLL");
  EXPECT_EQ(14u, SvDeleteFile(&busy));
  EXPECT_EQ(32u, svp::Fs().GetLastError());
  EXPECT_TRUE(files().Exists("C:\\SV32\\BUSY.DLL"));

  CSvFile missing = Delete("GONE.DLL");
  EXPECT_EQ(14u, SvDeleteFile(&missing));
  EXPECT_EQ(2u, svp::Fs().GetLastError());

  EXPECT_EQ((Strings{"C:\\SV32\\BUSY.DLL>", "C:\\SV32\\GONE.DLL>"}), Pending());
  platform_.Restart();
  EXPECT_FALSE(files().Exists("C:\\SV32\\BUSY.DLL"));
}

TEST_F(FileOpsTest, CopyGivesTheSourcesTimesAndAttributesWithoutReadOnly) {
  files().MakeDirectory("C:\\SV32");
  files().WriteFile("C:\\KIT\\BIN\\A.DLL", "new");
  files().SetFileTimes("C:\\KIT\\BIN\\A.DLL", MakeTime(0x1c07385, 0xc89dc000),
                       MakeTime(0x1c1c44e, 0x7b682300), MakeTime(0x1c1c44e, 0x7acf8c80));
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

TEST_F(FileOpsTest, BusyDestinationIsReplacedAtRestartThroughTheRbName) {
  files().WriteFile("C:\\KIT\\BIN\\NETLIB.DLL", "new");
  files().WriteFile("C:\\SV32\\NETLIB.DLL", "old");
  files().SetInUse("C:\\SV32\\NETLIB.DLL", true);
  CSvFile file = Copy("NETLIB.DLL", kSvCopyReplaceAtRestart | kSvCopyNoVersionCheck);
  EXPECT_EQ(0u, SvCopyFile(kit_.get(), &file, file.GetCopyFlags(), nullptr));
  EXPECT_EQ("new", files().ReadFile("C:\\SV32\\NETLIB.DRB"));
  EXPECT_EQ("old", files().ReadFile("C:\\SV32\\NETLIB.DLL"));
  EXPECT_EQ((Strings{"C:\\SV32\\NETLIB.DLL>", "C:\\SV32\\NETLIB.DRB>C:\\SV32\\NETLIB.DLL"}),
            Pending());
  platform_.Restart();
  EXPECT_EQ("new", files().ReadFile("C:\\SV32\\NETLIB.DLL"));
  EXPECT_FALSE(files().Exists("C:\\SV32\\NETLIB.DRB"));

  // A one-letter extension keeps the whole name; a name that already ends in
  // RB, in either case, is never its own temporary name.
  const std::pair<const char*, const char*> names[] = {
      {"X.C", "X.CRB"}, {"FOO.RB", "FOO.RBRB"}, {"X.DRB", "X.DRBRB"}, {"lib.rb", "lib.rbRB"}};
  for (const auto& [name, temporary] : names) {
    files().WriteFile(std::string("C:\\KIT\\BIN\\") + name, "new");
    files().WriteFile(std::string("C:\\SV32\\") + name, "old");
    files().SetInUse(std::string("C:\\SV32\\") + name, true);
    CSvFile busy = Copy(name, kSvCopyReplaceAtRestart | kSvCopyNoVersionCheck);
    EXPECT_EQ(0u, SvCopyFile(kit_.get(), &busy, busy.GetCopyFlags(), nullptr)) << name;
    EXPECT_EQ("new", files().ReadFile(std::string("C:\\SV32\\") + temporary)) << name;
  }
  EXPECT_EQ(8u, files().PendingOperations().size());
  platform_.Restart();
  for (const auto& [name, temporary] : names)
    EXPECT_EQ("new", files().ReadFile(std::string("C:\\SV32\\") + name)) << name;
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

TEST_F(FileOpsTest, FileTimesKeepTheTwoSecondResolutionOfTheDosForm) {
  files().WriteFile("C:\\ODD.TXT", "x");
  // 2002-03-05 14:03:11.0 is stored as 14:03:10.
  files().SetFileTimes("C:\\ODD.TXT", MakeTime(0, 0), MakeTime(0, 0),
                       MakeTime(0x1c1c44e, 0x7c00b980));
  svp::ByHandleFileInfo info;
  EXPECT_EQ(0u, SvGetFileTimes("C:\\ODD.TXT", &info));
  EXPECT_EQ(0x1c1c44eu, info.lastWrite.high);
  EXPECT_EQ(0x7b682300u, info.lastWrite.low);
  EXPECT_EQ(1u, info.sizeLow);

  // 1979 has no MS-DOS form.
  files().SetFileTimes("C:\\ODD.TXT", MakeTime(0, 0), MakeTime(0, 0),
                       MakeTime(0x1a8e79f, 0xe13ce980));
  EXPECT_EQ(14u, SvGetFileTimes("C:\\ODD.TXT", &info));
  EXPECT_EQ(5u, SvGetFileTimes("C:\\NONE.TXT", &info));

  // March 31st has a form, February 30th none.
  svp::FileTime back;
  EXPECT_TRUE(SvDosDateTimeToFileTime((22 << 9) | (3 << 5) | 31, 0, &back));
  EXPECT_FALSE(SvDosDateTimeToFileTime((22 << 9) | (2 << 5) | 30, 0, &back));
}

TEST_F(FileOpsTest, VersionResourceGivesNumbersTextsAndFallsBackToTimes) {
  svp::MemoryVersionResource full;
  full.fixed[2] = 0x00040000;
  full.fixed[3] = 0x00010002;
  const svp::MemoryVersionResource bare = full;  // no string table: the numbers as "%x.%x"
  full.translations = {0x04b00409};
  full.hasTranslationBlock = true;
  full.strings["040904b0\\FileVersion"] = "4.0.1.2";
  full.strings["040904b0\\FileDescription"] = "Trellnet library";
  // An empty translation table means US English, Unicode.
  svp::MemoryVersionResource noLanguage = full;
  noLanguage.translations.clear();
  noLanguage.strings["040904b0\\FileVersion"] = "4.0.9.9";
  const std::tuple<const char*, svp::MemoryVersionResource, const char*, const char*> cases[] = {
      {"C:\\BARE.DLL", bare, "40000.10002", ""},
      {"C:\\NOLANG.DLL", noLanguage, "4.0.9.9", "Trellnet library"},
      {"C:\\FULL.DLL", full, "4.0.1.2", "Trellnet library"},
  };
  SvVersionInfo info;
  for (const auto& [path, resource, version, description] : cases) {
    files().WriteFile(path, "x");
    files().SetVersionResource(path, resource);
    EXPECT_EQ(0u, SvGetFileVersion(path, &info)) << path;
    EXPECT_EQ(version, info.version) << path;
    EXPECT_EQ(description, info.description) << path;
  }
  EXPECT_EQ(0x00040000u, info.fixed.fileVersionMS);
  EXPECT_EQ(0x00010002u, info.fixed.fileVersionLS);
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
