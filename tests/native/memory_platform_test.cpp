// The simulated workstation where it goes beyond what the conformance cases
// can set up on a real system: other programs' open files, read-only files
// under a normal account, full disks, the restart, version resources,
// network drives and the scripted user.
#include "platform/memory/memory_platform.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace svp;
using Strings = std::vector<std::string>;

class MemoryWorkstation : public ::testing::Test {
 protected:
  MemoryFileSystem& files() { return platform_.files(); }
  uint32_t LastError() { return Fs().GetLastError(); }
  // 0 when the call succeeded, else the last error.
  uint32_t Error(bool ok) { return ok ? 0 : LastError(); }
  uint32_t OpenError(const std::string& path, uint32_t access, uint32_t share = 0,
                     uint32_t disposition = kOpenExisting) {
    FileHandle h = Fs().CreateFile(path, access, share, disposition);
    if (h == kInvalidFile) return LastError();
    Fs().CloseHandle(h);
    return 0;
  }
  // "<sectors per cluster>x<bytes per sector> <free clusters>", or the error.
  std::string FreeSpace(const std::string* root) {
    uint32_t spc = 0, bps = 0, free = 0, total = 0;
    if (!Fs().GetDiskFreeSpace(root, &spc, &bps, &free, &total))
      return "error " + std::to_string(LastError());
    EXPECT_GE(total, free);
    return std::to_string(spc) + "x" + std::to_string(bps) + " " + std::to_string(free);
  }

  InstalledMemoryPlatform platform_;
};

TEST_F(MemoryWorkstation, FilesInUseReadOnlyAndFullDisks) {
  IFileSystem& fs = Fs();
  const std::string inUse = "C:\\SV\\BIN\\TNP.DLL", renamed = "C:\\SV\\BIN\\OLD.DLL";
  files().WriteFile(inUse, "image");
  files().WriteFile("C:\\NEW.DLL", "new");
  files().SetInUse(inUse, true);
  EXPECT_EQ(kErrSharingViolation, Error(fs.DeleteFile(inUse)));
  EXPECT_EQ(kErrSharingViolation, OpenError("c:\\sv\\bin\\tnp.dll", kGenericWrite));
  EXPECT_EQ(kErrSharingViolation, Error(fs.CopyFile("C:\\NEW.DLL", inUse, false)));
  EXPECT_FALSE(fs.MoveFileEx(inUse, &renamed, 0));
  // A running program may still be read and copied.
  EXPECT_EQ(0u, OpenError(inUse, kGenericRead, kShareRead));
  EXPECT_TRUE(fs.CopyFile(inUse, "C:\\COPY.DLL", false));

  // Read-only files refuse writers and copies onto them.
  files().SetReadOnly("C:\\NEW.DLL", true);
  EXPECT_EQ(kErrAccessDenied, OpenError("C:\\NEW.DLL", kGenericWrite));
  EXPECT_EQ(kErrAccessDenied, Error(fs.CopyFile("C:\\COPY.DLL", "C:\\NEW.DLL", false)));
  EXPECT_EQ("new", files().ReadFile("C:\\NEW.DLL"));

  // A full disk takes no bytes; an empty file still fits.
  files().SetDiskFull('C', true);
  FileHandle h = fs.CreateFile("C:\\FULL.TXT", kGenericWrite, 0, kCreateAlways);
  ASSERT_NE(kInvalidFile, h);
  uint32_t written = 7;
  EXPECT_EQ(kErrDiskFull, Error(fs.WriteFile(h, "abc", 3, &written)));
  EXPECT_EQ(0u, written);
  EXPECT_EQ(kErrDiskFull, Error(fs.CopyFile("C:\\COPY.DLL", "C:\\COPY2.DLL", false)));
  EXPECT_FALSE(files().Exists("C:\\COPY2.DLL"));
  EXPECT_EQ("8x512 0", FreeSpace(nullptr));
  // A planned fault fails the n-th call of its name once, or from then on.
  files().SetDiskFull('C', false);
  FaultPlan& faults = platform_.faults();
  faults.Clear();
  ASSERT_TRUE(faults.Fail("WriteFile", 2, kErrDiskFull));
  ASSERT_TRUE(faults.Fail("FlushFileBuffers", 1, kErrAccessDenied, true));
  EXPECT_FALSE(faults.Fail("NoSuchCall", 1, 5));
  EXPECT_TRUE(fs.WriteFile(h, "a", 1, &written));
  EXPECT_EQ(kErrDiskFull, Error(fs.WriteFile(h, "b", 1, &written)));
  EXPECT_TRUE(fs.WriteFile(h, "c", 1, &written));
  EXPECT_EQ(kErrAccessDenied, Error(fs.FlushFileBuffers(h)));
  EXPECT_EQ(kErrAccessDenied, Error(fs.FlushFileBuffers(h)));
  // "*" counts only the calls that change the workstation: reads do not.
  ASSERT_TRUE(faults.Fail(FaultPlan::kAnyMutating, 2, kErrDiskFull));
  EXPECT_NE(kInvalidAttributes, fs.GetFileAttributes("C:\\FULL.TXT"));
  EXPECT_TRUE(fs.WriteFile(h, "d", 1, &written));
  EXPECT_EQ(kErrDiskFull, Error(fs.SetEndOfFile(h)));
  EXPECT_EQ(4u, faults.Injected());
  EXPECT_EQ(4u, faults.Count("WriteFile"));
  // A failing close still lets the handle go.
  ASSERT_TRUE(faults.Fail("CloseHandle", 1, kErrAccessDenied));
  EXPECT_EQ(kErrAccessDenied, Error(fs.CloseHandle(h)));
  EXPECT_EQ(0u, files().OpenHandleCount());
  faults.Clear();
  EXPECT_EQ("acd", files().ReadFile("C:\\FULL.TXT"));

  // Free space in clusters of 8 sectors of 512 bytes, for the current drive by default.
  files().SetFreeSpace('D', 10u << 20);
  const std::string d = "D:\\", q = "Q:\\";
  EXPECT_EQ("8x512 2560", FreeSpace(&d));
  ASSERT_TRUE(fs.SetCurrentDirectory("D:\\"));
  EXPECT_EQ("8x512 2560", FreeSpace(nullptr));
  EXPECT_EQ("error 3", FreeSpace(&q));
}

TEST_F(MemoryWorkstation, DelayedOperationsHappenAtTheRestartInOrder) {
  IFileSystem& fs = Fs();
  files().WriteFile("C:\\SV\\A.DLL", "a");
  files().WriteFile("C:\\SV\\B.DLL", "b");
  files().WriteFile("C:\\SV\\NEW\\B.DLL", "new b");
  files().WriteFile("C:\\SV\\KEEP\\file", "k");
  files().SetInUse("C:\\SV\\A.DLL", true);
  ASSERT_TRUE(fs.SetCurrentDirectory("C:\\SV"));
  EXPECT_TRUE(fs.MoveFileEx("A.DLL", nullptr, kMoveDelayUntilReboot));
  const std::string target = "C:\\SV\\B.DLL";
  EXPECT_TRUE(
      fs.MoveFileEx("C:\\SV\\NEW\\B.DLL", &target, kMoveDelayUntilReboot | kMoveReplaceExisting));
  for (const char* path : {"C:\\SV\\NEW", "C:\\SV\\KEEP", "C:\\SV\\GHOST"})
    EXPECT_TRUE(fs.MoveFileEx(path, nullptr, kMoveDelayUntilReboot)) << path;
  ASSERT_TRUE(fs.SetCurrentDirectory("C:\\"));

  // Recorded as full paths; nothing happens before the restart.
  Strings ops;
  for (const auto& op : files().PendingOperations())
    ops.push_back(op.from + ">" + op.to + (op.replace ? " replace" : ""));
  EXPECT_EQ((Strings{"C:\\SV\\A.DLL>", "C:\\SV\\NEW\\B.DLL>C:\\SV\\B.DLL replace", "C:\\SV\\NEW>",
                     "C:\\SV\\KEEP>", "C:\\SV\\GHOST>"}),
            ops);
  EXPECT_EQ("b", files().ReadFile("C:\\SV\\B.DLL"));

  platform_.Restart();
  EXPECT_TRUE(files().PendingOperations().empty());
  EXPECT_FALSE(files().Exists("C:\\SV\\A.DLL"));
  EXPECT_EQ("new b", files().ReadFile("C:\\SV\\B.DLL"));
  EXPECT_FALSE(files().Exists("C:\\SV\\NEW"));  // empty by the time its turn came
  EXPECT_TRUE(files().Exists("C:\\SV\\KEEP\\file"));

  // Only an administrator may queue them.
  platform_.system().SetAdmin(false);
  EXPECT_EQ(kErrAccessDenied,
            Error(fs.MoveFileEx("C:\\SV\\B.DLL", nullptr, kMoveDelayUntilReboot)));
}

TEST_F(MemoryWorkstation, DirectoriesInUsePathsOutOfReachAndNetworkDrives) {
  IFileSystem& fs = Fs();
  files().MakeDirectory("C:\\SV\\PROTOCOL");
  ASSERT_TRUE(fs.SetCurrentDirectory("C:\\SV\\PROTOCOL"));
  EXPECT_EQ(kErrSharingViolation, Error(fs.RemoveDirectory("C:\\SV\\PROTOCOL")));
  ASSERT_TRUE(fs.SetCurrentDirectory("C:\\"));
  EXPECT_TRUE(fs.RemoveDirectory("C:\\SV\\PROTOCOL\\"));

  const std::pair<std::string, uint32_t> unreachable[] = {{"Q:\\x", kErrPathNotFound},
                                                          {"C:\\a*b", 123},
                                                          {"C:\\" + std::string(300, 'x'), 206},
                                                          {"\\\\NOBODY\\SHARE\\x", 53}};
  for (const auto& [path, error] : unreachable) {
    EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes(path)) << path;
    EXPECT_EQ(error, LastError()) << path;
  }
  files().MakeDirectory("C:\\SECRET");
  files().SetInaccessible("C:\\SECRET", true);
  EXPECT_EQ(13, fs.AccessExists("C:\\SECRET"));
  EXPECT_EQ(2, fs.AccessExists("C:\\NOTHING\\AT\\ALL"));

  // Network drives share their contents with the UNC names.
  files().MapNetworkDrive('z', "\\\\SRV\\Kits");
  files().WriteFile("Z:\\SV\\KITPURGE.DAT", "kit");
  EXPECT_EQ("kit", files().ReadFile("\\\\srv\\kits\\SV\\KITPURGE.DAT"));
  EXPECT_EQ(0, fs.AccessExists("\\\\SRV\\KITS\\SV"));

  // Short names are the names as given; another drive's current directory is its root.
  files().WriteFile("C:\\Program Files\\Solvane Long\\x.dll", "x");
  std::string text;
  EXPECT_EQ(35u, fs.GetShortPathName("C:\\Program Files\\Solvane Long\\x.dll", 260, &text));
  EXPECT_EQ("C:\\Program Files\\Solvane Long\\x.dll", text);
  files().AddDrive('D');
  fs.GetFullPathName("D:x.txt", 260, &text);
  EXPECT_EQ("D:\\x.txt", text);

  ASSERT_TRUE(fs.FormatErrorText(32, &text));
  EXPECT_EQ("The process cannot access the file because it is being used by another process.\r\n",
            text);
  ASSERT_TRUE(fs.FormatErrorText(2, &text));
  EXPECT_EQ("The system cannot find the file specified.\r\n", text);
  EXPECT_FALSE(fs.FormatErrorText(0xDEAD, &text));
}

TEST_F(MemoryWorkstation, FileTimesOfWritesAndCopies) {
  IFileSystem& fs = Fs();
  const FileTime start = files().Now();
  files().WriteFile("C:\\SRC.TXT", "s");
  files().WriteFile("C:\\DST.TXT", "old");
  files().AdvanceClock(20000000);  // two seconds
  const FileTime later = files().Now();
  FileHandle h = fs.CreateFile("C:\\SRC.TXT", kGenericWrite, 0, kOpenExisting);
  uint32_t written = 0;
  ASSERT_TRUE(fs.WriteFile(h, "t", 1, &written));
  ByHandleFileInfo info;
  ASSERT_TRUE(fs.GetFileInformationByHandle(h, &info));
  fs.CloseHandle(h);
  EXPECT_EQ(start.low, info.creation.low);
  EXPECT_EQ(later.low, info.lastWrite.low);
  EXPECT_EQ(static_cast<uint32_t>(kAttrArchive), info.attributes);

  files().AdvanceClock(20000000);
  ASSERT_TRUE(fs.CopyFile("C:\\SRC.TXT", "C:\\DST.TXT", false));
  ASSERT_TRUE(fs.CopyFile("C:\\SRC.TXT", "C:\\NEW.TXT", false));
  // An overwritten file keeps its creation; a copy keeps the source's last write.
  for (const auto& [path, created] :
       {std::pair{"C:\\DST.TXT", start}, {"C:\\NEW.TXT", files().Now()}}) {
    FileTime creation, access, write;
    ASSERT_TRUE(files().GetFileTimes(path, &creation, &access, &write));
    EXPECT_EQ(created.low, creation.low) << path;
    EXPECT_EQ(later.low, write.low) << path;
  }
}

TEST_F(MemoryWorkstation, VersionResourcesAnswerTheSubBlocks) {
  IFileSystem& fs = Fs();
  MemoryVersionResource r;
  r.fixed[2] = 0x00040000;  // 4.0
  r.fixed[3] = 0x00010002;  // .1.2
  r.hasTranslationBlock = true;
  r.translations = {0x04B00409u, 0x04E40407u};
  r.strings["040904b0\\FileVersion"] = "4.0.1.2";
  r.strings["040904b0\\FileDescription"] = "Trellnet protocol";
  files().WriteFile("C:\\TNP.SYS", "driver");
  files().SetVersionResource("C:\\TNP.SYS", r);
  const uint32_t size = fs.GetFileVersionInfoSize("C:\\TNP.SYS");
  std::vector<uint8_t> block, value;
  ASSERT_TRUE(fs.GetFileVersionInfo("C:\\TNP.SYS", &block));
  EXPECT_EQ(size, block.size());
  const auto query = [&](const std::vector<uint8_t>& b, const char* sub) {
    return fs.VerQueryValue(b, sub, &value) ? std::string(value.begin(), value.end()) : "<none>";
  };
  uint32_t words[13];
  const std::string fixed = query(block, "\\");
  ASSERT_EQ(52u, fixed.size());
  std::memcpy(words, fixed.data(), 52);
  EXPECT_EQ(0xFEEF04BDu, words[0]);
  EXPECT_EQ(0x00040000u, words[2]);
  EXPECT_EQ(0x00010002u, words[3]);
  EXPECT_EQ(std::string("\x09\x04\xB0\x04\x07\x04\xE4\x04", 8),
            query(block, "\\VarFileInfo\\Translation"));
  EXPECT_EQ("4.0.1.2", query(block, "\\StringFileInfo\\040904B0\\FileVersion"));  // no NUL
  EXPECT_EQ("<none>", query(block, "\\StringFileInfo\\040704e4\\FileVersion"));
  EXPECT_EQ("<none>", query(block, "\\StringFileInfo\\040904b0\\CompanyName"));
  EXPECT_EQ("<none>", query({block.begin(), block.begin() + 30}, "\\VarFileInfo\\Translation"));

  // The resource travels with a copy and goes when the file is rewritten.
  ASSERT_TRUE(fs.CopyFile("C:\\TNP.SYS", "C:\\COPY.SYS", false));
  EXPECT_EQ(size, fs.GetFileVersionInfoSize("C:\\COPY.SYS"));
  fs.CloseHandle(fs.CreateFile("C:\\COPY.SYS", kGenericWrite, 0, kCreateAlways));
  EXPECT_EQ(1813u, Error(fs.GetFileVersionInfoSize("C:\\COPY.SYS") != 0));
  EXPECT_EQ(kErrFileNotFound, Error(fs.GetFileVersionInfoSize("C:\\NONE.SYS") != 0));

  // A fixed block alone, then a resource without even that.
  MemoryVersionResource bare;
  files().WriteFile("C:\\BARE.DLL", "b");
  files().SetVersionResource("C:\\BARE.DLL", bare);
  ASSERT_TRUE(fs.GetFileVersionInfo("C:\\BARE.DLL", &block));
  EXPECT_EQ(52u, query(block, "\\").size());
  EXPECT_EQ("<none>", query(block, "\\VarFileInfo\\Translation"));
  bare.present = false;
  files().SetVersionResource("C:\\BARE.DLL", bare);
  ASSERT_TRUE(fs.GetFileVersionInfo("C:\\BARE.DLL", &block));
  EXPECT_EQ("<none>", query(block, "\\"));
  files().SetVersionInfoSize("C:\\BARE.DLL", 0xFFFFFFF0u);
  EXPECT_EQ(0xFFFFFFF0u, fs.GetFileVersionInfoSize("C:\\BARE.DLL"));
}

TEST_F(MemoryWorkstation, RegistryDenialsVolatileKeysAndDefaults) {
  IRegistry& reg = Reg();
  MemoryRegistry& mem = platform_.registry();
  mem.SetString(kHKeyLocalMachine, "SOFTWARE\\Locked\\Inner", "V", "v");
  mem.DenyAccess(kHKeyLocalMachine, "SOFTWARE\\Locked", true);
  RegKey key = 0;
  EXPECT_EQ(kErrAccessDenied, reg.OpenKey(kHKeyLocalMachine, "SOFTWARE\\Locked", kKeyRead, &key));
  EXPECT_EQ(0u, key);
  for (const char* path : {"SOFTWARE\\Locked", "SOFTWARE\\Locked\\New"})
    EXPECT_EQ(kErrAccessDenied,
              reg.CreateKey(kHKeyLocalMachine, path, 0, kKeyAllAccess, &key, nullptr));
  EXPECT_EQ(0u, reg.DeleteKey(kHKeyLocalMachine, "SOFTWARE\\Locked\\Inner"));
  EXPECT_EQ(kErrAccessDenied, reg.DeleteKey(kHKeyLocalMachine, "SOFTWARE\\Locked"));

  // Querying the key's counts needs query rights.
  ASSERT_EQ(0u, reg.OpenKey(kHKeyLocalMachine, "SOFTWARE", kKeySetValue, &key));
  uint32_t count = 0;
  EXPECT_EQ(kErrAccessDenied, reg.QueryInfoKey(key, &count, nullptr, nullptr, nullptr, nullptr));
  reg.CloseKey(key);
  EXPECT_EQ(kErrInvalidHandle, reg.QueryValue(key, "x", nullptr, nullptr, &count));

  ASSERT_EQ(0u, reg.CreateKey(kHKeyCurrentUser, "Volatile\\Child", kRegOptionVolatile,
                              kKeyAllAccess, &key, nullptr));
  reg.CloseKey(key);
  EXPECT_TRUE(mem.KeyExists(kHKeyCurrentUser, "volatile\\child"));
  platform_.Restart();
  EXPECT_FALSE(mem.KeyExists(kHKeyCurrentUser, "Volatile"));
  EXPECT_EQ(0u, mem.OpenKeyCount());

  // A workstation, and HKEY_CLASSES_ROOT is the machine's classes key.
  std::string text;
  ASSERT_TRUE(mem.GetString(kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions",
                            "ProductType", &text));
  EXPECT_EQ("WinNT", text);
  mem.SetDword(kHKeyClassesRoot, ".sv", "Flags", 0x12345678u);
  uint32_t dword = 0;
  EXPECT_TRUE(mem.GetDword(kHKeyLocalMachine, "SOFTWARE\\Classes\\.SV", "flags", &dword));
  EXPECT_EQ(0x12345678u, dword);
  mem.SetString(kHKeyCurrentUser, "Software\\Order", "b", "2");
  mem.SetString(kHKeyCurrentUser, "Software\\Order", "a", "1", kRegExpandSz);
  EXPECT_EQ((Strings{"b", "a"}), mem.ValueNames(kHKeyCurrentUser, "Software\\Order"));
  uint32_t type = 0;
  ASSERT_TRUE(mem.GetRaw(kHKeyCurrentUser, "Software\\Order", "A", &text, &type));
  EXPECT_EQ(std::string("1\0", 2), text);
  EXPECT_EQ(kRegExpandSz, type);
}

TEST_F(MemoryWorkstation, SystemRecordAndRequests) {
  ISystem& sys = Sys();
  MemorySystem& mem = platform_.system();
  OsVersion v;
  ASSERT_TRUE(sys.GetVersionEx(&v));
  EXPECT_EQ("4.0.1381/2", std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
                              std::to_string(v.build) + "/" + std::to_string(v.platformId));
  v.size = 20;  // the record's size field must be one the system knows
  EXPECT_FALSE(sys.GetVersionEx(&v));

  mem.SetShutdownPrivilege(false);
  EXPECT_FALSE(sys.RestartWindows());
  EXPECT_FALSE(mem.restartRequested());
  mem.SetShutdownPrivilege(true);
  EXPECT_TRUE(sys.RestartWindows());
  EXPECT_TRUE(mem.restartRequested());

  std::string text;
  EXPECT_EQ(17u, sys.GetSystemDirectory(&text));
  EXPECT_EQ("C:\\WINNT\\system32", text);
  EXPECT_TRUE(sys.GetEnvironmentVariable("systemroot", &text));
  EXPECT_EQ("C:\\WINNT", text);

  // Without the program manager nobody hears of the change.
  sys.NotifyEnvironmentChange();
  mem.SetProgramManagerRunning(false);
  sys.NotifyEnvironmentChange();
  EXPECT_EQ(1, mem.settingChangeCount());
}

TEST_F(MemoryWorkstation, QuestionsNobodyScriptedAreReportedToTheTest) {
  IUserInterface& ui = Ui();
  platform_.ui().QueueAnswer(kIdCancel);
  EXPECT_EQ(kIdCancel, ui.MessageBox("q", "cap", 0x31, false));
  EXPECT_EQ(kIdOk, ui.MessageBox("note", "cap", 0x30, true));  // OK boxes need no script
  EXPECT_FALSE(platform_.ui().boxes()[0].owned);
  Strings reports;
  SetMemoryFailureReporter([&](const std::string& what) { reports.push_back(what); });
  EXPECT_EQ(-1, ui.MessageBox("unscripted", "cap", 0x24, true));
  platform_.ui().QueueAnswer(kIdYes);
  ui.MessageBox("an answer an OK box cannot give", "cap", 0, true);
  std::string chosen;
  EXPECT_FALSE(ui.GetOpenFileName(OpenFileRequest(), &chosen));
  SetMemoryFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
  EXPECT_EQ(3u, reports.size());
}

}  // namespace
