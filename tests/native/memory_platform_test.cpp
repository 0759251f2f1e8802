// The simulated workstation where it goes beyond what the conformance cases
// can set up on a real system: other programs' open files, read-only files
// under a normal account, full disks, the restart, version resources,
// network drives and the scripted user.
#include "platform/memory/memory_platform.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace svp;

// Every native test: a question nobody scripted an answer for fails the test.
[[maybe_unused]] const bool kReporterInstalled = [] {
  SetMemoryFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
  return true;
}();

class MemoryWorkstation : public ::testing::Test {
 protected:
  void SetUp() override { platform_.Install(); }
  MemoryFileSystem& files() { return platform_.files(); }
  uint32_t LastError() { return Fs().GetLastError(); }

  MemoryPlatform platform_;
};

TEST_F(MemoryWorkstation, FilesInUseReadOnlyAndFullDisks) {
  IFileSystem& fs = Fs();
  files().WriteFile("C:\\SV\\BIN\\TNP.DLL", "image");
  files().SetInUse("C:\\SV\\BIN\\TNP.DLL", true);
  EXPECT_FALSE(fs.DeleteFile("C:\\SV\\BIN\\TNP.DLL"));
  EXPECT_EQ(kErrSharingViolation, LastError());
  EXPECT_EQ(kInvalidFile, fs.CreateFile("c:\\sv\\bin\\tnp.dll", kGenericWrite, 0, kOpenExisting));
  EXPECT_EQ(kErrSharingViolation, LastError());
  files().WriteFile("C:\\NEW.DLL", "new");
  EXPECT_FALSE(fs.CopyFile("C:\\NEW.DLL", "C:\\SV\\BIN\\TNP.DLL", false));
  EXPECT_EQ(kErrSharingViolation, LastError());
  const std::string renamed = "C:\\SV\\BIN\\OLD.DLL";
  EXPECT_FALSE(fs.MoveFileEx("C:\\SV\\BIN\\TNP.DLL", &renamed, 0));
  // A running program may still be read and copied.
  FileHandle h = fs.CreateFile("C:\\SV\\BIN\\TNP.DLL", kGenericRead, kShareRead, kOpenExisting);
  EXPECT_NE(kInvalidFile, h);
  fs.CloseHandle(h);
  EXPECT_TRUE(fs.CopyFile("C:\\SV\\BIN\\TNP.DLL", "C:\\COPY.DLL", false));

  // Read-only files refuse writers and copies onto them.
  files().SetReadOnly("C:\\NEW.DLL", true);
  EXPECT_EQ(kInvalidFile, fs.CreateFile("C:\\NEW.DLL", kGenericWrite, 0, kOpenExisting));
  EXPECT_EQ(kErrAccessDenied, LastError());
  EXPECT_FALSE(fs.CopyFile("C:\\COPY.DLL", "C:\\NEW.DLL", false));
  EXPECT_EQ(kErrAccessDenied, LastError());
  EXPECT_EQ("new", files().ReadFile("C:\\NEW.DLL"));

  // A full disk takes no bytes; an empty file still fits.
  files().SetDiskFull('C', true);
  h = fs.CreateFile("C:\\FULL.TXT", kGenericWrite, 0, kCreateAlways);
  ASSERT_NE(kInvalidFile, h);
  uint32_t written = 7;
  EXPECT_FALSE(fs.WriteFile(h, "abc", 3, &written));
  EXPECT_EQ(kErrDiskFull, LastError());
  EXPECT_EQ(0u, written);
  fs.CloseHandle(h);
  EXPECT_FALSE(fs.CopyFile("C:\\COPY.DLL", "C:\\COPY2.DLL", false));
  EXPECT_EQ(kErrDiskFull, LastError());
  EXPECT_FALSE(files().Exists("C:\\COPY2.DLL"));
  uint32_t spc = 0, bps = 0, freeClusters = 1, total = 0;
  ASSERT_TRUE(fs.GetDiskFreeSpace(nullptr, &spc, &bps, &freeClusters, &total));
  EXPECT_EQ(0u, freeClusters);
  files().SetDiskFull('C', false);

  // Free space in clusters of 8 sectors of 512 bytes.
  files().SetFreeSpace('D', 10u << 20);
  const std::string d = "D:\\";
  ASSERT_TRUE(fs.GetDiskFreeSpace(&d, &spc, &bps, &freeClusters, &total));
  EXPECT_EQ(8u, spc);
  EXPECT_EQ(512u, bps);
  EXPECT_EQ(2560u, freeClusters);
  EXPECT_GE(total, freeClusters);
  ASSERT_TRUE(fs.SetCurrentDirectory("D:\\"));
  ASSERT_TRUE(fs.GetDiskFreeSpace(nullptr, &spc, &bps, &freeClusters, &total));
  EXPECT_EQ(2560u, freeClusters);
  const std::string q = "Q:\\";
  EXPECT_FALSE(fs.GetDiskFreeSpace(&q, &spc, &bps, &freeClusters, &total));
  EXPECT_EQ(kErrPathNotFound, LastError());
}

TEST_F(MemoryWorkstation, FailingWritesAndFlushes) {
  IFileSystem& fs = Fs();
  FileHandle h = fs.CreateFile("C:\\LOG.TXT", kGenericWrite, 0, kCreateAlways);
  ASSERT_NE(kInvalidFile, h);
  uint32_t written = 0;
  files().FailNextWrites(true);
  EXPECT_FALSE(fs.WriteFile(h, "x", 1, &written));
  EXPECT_EQ(kErrDiskFull, LastError());
  EXPECT_FALSE(fs.FlushFileBuffers(h));
  EXPECT_EQ(kErrAccessDenied, LastError());
  files().FailNextWrites(false);
  files().FailNextFlushes(true);
  EXPECT_TRUE(fs.WriteFile(h, "y", 1, &written));
  EXPECT_FALSE(fs.FlushFileBuffers(h));
  files().FailNextFlushes(false);
  EXPECT_TRUE(fs.FlushFileBuffers(h));
  fs.CloseHandle(h);
  EXPECT_EQ("y", files().ReadFile("C:\\LOG.TXT"));
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
  EXPECT_TRUE(fs.MoveFileEx("C:\\SV\\NEW\\B.DLL", &target,
                            kMoveDelayUntilReboot | kMoveReplaceExisting));
  EXPECT_TRUE(fs.MoveFileEx("C:\\SV\\NEW", nullptr, kMoveDelayUntilReboot));
  EXPECT_TRUE(fs.MoveFileEx("C:\\SV\\KEEP", nullptr, kMoveDelayUntilReboot));
  EXPECT_TRUE(fs.MoveFileEx("C:\\SV\\GHOST", nullptr, kMoveDelayUntilReboot));
  ASSERT_TRUE(fs.SetCurrentDirectory("C:\\"));

  const auto& ops = files().PendingOperations();
  ASSERT_EQ(5u, ops.size());
  EXPECT_EQ("C:\\SV\\A.DLL", ops[0].from);  // recorded as full paths
  EXPECT_EQ("", ops[0].to);
  EXPECT_EQ("C:\\SV\\NEW\\B.DLL", ops[1].from);
  EXPECT_EQ("C:\\SV\\B.DLL", ops[1].to);
  EXPECT_TRUE(ops[1].replace);
  EXPECT_EQ("b", files().ReadFile("C:\\SV\\B.DLL"));  // nothing happens before

  platform_.Restart();
  EXPECT_TRUE(files().PendingOperations().empty());
  EXPECT_FALSE(files().Exists("C:\\SV\\A.DLL"));
  EXPECT_EQ("new b", files().ReadFile("C:\\SV\\B.DLL"));
  EXPECT_FALSE(files().Exists("C:\\SV\\NEW"));  // empty by the time its turn came
  EXPECT_TRUE(files().Exists("C:\\SV\\KEEP\\file"));

  // Only an administrator may queue them.
  platform_.system().SetAdmin(false);
  EXPECT_FALSE(fs.MoveFileEx("C:\\SV\\B.DLL", nullptr, kMoveDelayUntilReboot));
  EXPECT_EQ(kErrAccessDenied, LastError());
}

TEST_F(MemoryWorkstation, DirectoriesInUseAndPathsOutOfReach) {
  IFileSystem& fs = Fs();
  files().MakeDirectory("C:\\SV\\PROTOCOL");
  ASSERT_TRUE(fs.SetCurrentDirectory("C:\\SV\\PROTOCOL"));
  EXPECT_FALSE(fs.RemoveDirectory("C:\\SV\\PROTOCOL"));
  EXPECT_EQ(kErrSharingViolation, LastError());
  ASSERT_TRUE(fs.SetCurrentDirectory("C:\\"));
  EXPECT_TRUE(fs.RemoveDirectory("C:\\SV\\PROTOCOL\\"));

  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes("Q:\\x"));
  EXPECT_EQ(kErrPathNotFound, LastError());
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes("C:\\a*b"));
  EXPECT_EQ(123u, LastError());
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes("C:\\" + std::string(300, 'x')));
  EXPECT_EQ(206u, LastError());

  files().MakeDirectory("C:\\SECRET");
  files().SetInaccessible("C:\\SECRET", true);
  EXPECT_EQ(13, fs.AccessExists("C:\\SECRET"));
  EXPECT_EQ(2, fs.AccessExists("C:\\NOTHING\\AT\\ALL"));

  // Short names are the names as given.
  files().WriteFile("C:\\Program Files\\Solvane Long\\x.dll", "x");
  std::string shortName;
  EXPECT_EQ(35u, fs.GetShortPathName("C:\\Program Files\\Solvane Long\\x.dll", 260, &shortName));
  EXPECT_EQ("C:\\Program Files\\Solvane Long\\x.dll", shortName);
  EXPECT_EQ(0u, fs.GetShortPathName("C:\\Program Files\\None\\x.dll", 260, &shortName));
  EXPECT_EQ(kErrPathNotFound, LastError());

  // Drive-relative names: another drive's current directory is its root.
  files().AddDrive('D');
  std::string full;
  fs.GetFullPathName("D:x.txt", 260, &full);
  EXPECT_EQ("D:\\x.txt", full);
  std::string module;
  EXPECT_EQ(18u, fs.GetModuleFileName(&module));
  EXPECT_EQ("C:\\SV\\KITPURGE.EXE", module);

  std::string text;
  ASSERT_TRUE(fs.FormatErrorText(32, &text));
  EXPECT_EQ("The process cannot access the file because it is being used by another process.\r\n",
            text);
  ASSERT_TRUE(fs.FormatErrorText(2, &text));
  EXPECT_EQ("The system cannot find the file specified.\r\n", text);
  EXPECT_FALSE(fs.FormatErrorText(0xDEAD, &text));
}

TEST_F(MemoryWorkstation, NetworkDrivesShareTheirContents) {
  IFileSystem& fs = Fs();
  files().MapNetworkDrive('z', "\\\\SRV\\Kits");
  std::string remote;
  EXPECT_EQ(0u, Sys().WNetGetConnection("Z:", &remote));
  EXPECT_EQ("\\\\SRV\\Kits", remote);
  EXPECT_EQ(kErrNotConnected, Sys().WNetGetConnection("C:", &remote));

  files().WriteFile("Z:\\SV\\KITPURGE.DAT", "kit");
  EXPECT_EQ("kit", files().ReadFile("\\\\srv\\kits\\SV\\KITPURGE.DAT"));
  EXPECT_EQ(0, fs.AccessExists("\\\\SRV\\KITS\\SV"));
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes("\\\\NOBODY\\SHARE\\x"));
  EXPECT_EQ(53u, LastError());
}

TEST_F(MemoryWorkstation, FileTimesOfWritesAndCopies) {
  IFileSystem& fs = Fs();
  const FileTime start = files().Now();
  files().WriteFile("C:\\SRC.TXT", "s");
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

  files().WriteFile("C:\\DST.TXT", "old");
  files().AdvanceClock(20000000);
  ASSERT_TRUE(fs.CopyFile("C:\\SRC.TXT", "C:\\DST.TXT", false));
  ASSERT_TRUE(fs.CopyFile("C:\\SRC.TXT", "C:\\NEW.TXT", false));
  FileTime creation, access, write;
  ASSERT_TRUE(files().GetFileTimes("C:\\DST.TXT", &creation, &access, &write));
  EXPECT_EQ(later.low, creation.low);  // an overwritten file keeps its creation
  EXPECT_EQ(later.low, write.low);     // the copy keeps the source's last write
  ASSERT_TRUE(files().GetFileTimes("C:\\NEW.TXT", &creation, &access, &write));
  EXPECT_EQ(files().Now().low, creation.low);
  EXPECT_EQ(later.low, write.low);
}

MemoryVersionResource SampleResource() {
  MemoryVersionResource r;
  r.fixed[2] = 0x00040000;  // 4.0
  r.fixed[3] = 0x00010002;  // .1.2
  r.hasTranslationBlock = true;
  r.translations = {0x04B00409u, 0x04E40407u};
  r.strings["040904b0\\FileVersion"] = "4.0.1.2";
  r.strings["040904b0\\FileDescription"] = "Trellnet protocol";
  return r;
}

TEST_F(MemoryWorkstation, VersionResourcesAnswerTheSubBlocks) {
  IFileSystem& fs = Fs();
  files().WriteFile("C:\\TNP.SYS", "driver");
  files().SetVersionResource("C:\\TNP.SYS", SampleResource());
  uint32_t size = fs.GetFileVersionInfoSize("C:\\TNP.SYS");
  ASSERT_GT(size, 0u);
  std::vector<uint8_t> block;
  ASSERT_TRUE(fs.GetFileVersionInfo("C:\\TNP.SYS", &block));
  EXPECT_EQ(size, block.size());

  std::vector<uint8_t> value;
  ASSERT_TRUE(fs.VerQueryValue(block, "\\", &value));
  ASSERT_EQ(52u, value.size());
  uint32_t words[13];
  std::memcpy(words, value.data(), 52);
  EXPECT_EQ(0xFEEF04BDu, words[0]);
  EXPECT_EQ(0x00040000u, words[2]);
  EXPECT_EQ(0x00010002u, words[3]);
  ASSERT_TRUE(fs.VerQueryValue(block, "\\VarFileInfo\\Translation", &value));
  ASSERT_EQ(8u, value.size());
  EXPECT_EQ(0x09, value[0]);
  EXPECT_EQ(0x04, value[1]);
  EXPECT_EQ(0xB0, value[2]);
  ASSERT_TRUE(fs.VerQueryValue(block, "\\StringFileInfo\\040904B0\\FileVersion", &value));
  EXPECT_EQ("4.0.1.2", std::string(value.begin(), value.end()));  // no NUL
  EXPECT_FALSE(fs.VerQueryValue(block, "\\StringFileInfo\\040704e4\\FileVersion", &value));
  EXPECT_FALSE(fs.VerQueryValue(block, "\\StringFileInfo\\040904b0\\CompanyName", &value));
  EXPECT_FALSE(fs.VerQueryValue(std::vector<uint8_t>(block.begin(), block.begin() + 30), "\\VarFileInfo\\Translation", &value));

  // The resource travels with a copy and goes when the file is rewritten.
  ASSERT_TRUE(fs.CopyFile("C:\\TNP.SYS", "C:\\COPY.SYS", false));
  EXPECT_EQ(size, fs.GetFileVersionInfoSize("C:\\COPY.SYS"));
  fs.CloseHandle(fs.CreateFile("C:\\COPY.SYS", kGenericWrite, 0, kCreateAlways));
  EXPECT_EQ(0u, fs.GetFileVersionInfoSize("C:\\COPY.SYS"));
  EXPECT_EQ(1813u, LastError());
  EXPECT_EQ(0u, fs.GetFileVersionInfoSize("C:\\NONE.SYS"));
  EXPECT_EQ(kErrFileNotFound, LastError());

  // A fixed block alone; no translation table.
  MemoryVersionResource bare;
  files().WriteFile("C:\\BARE.DLL", "b");
  files().SetVersionResource("C:\\BARE.DLL", bare);
  ASSERT_TRUE(fs.GetFileVersionInfo("C:\\BARE.DLL", &block));
  EXPECT_TRUE(fs.VerQueryValue(block, "\\", &value));
  EXPECT_FALSE(fs.VerQueryValue(block, "\\VarFileInfo\\Translation", &value));
  bare.present = false;
  files().SetVersionResource("C:\\BARE.DLL", bare);
  ASSERT_TRUE(fs.GetFileVersionInfo("C:\\BARE.DLL", &block));
  EXPECT_FALSE(fs.VerQueryValue(block, "\\", &value));

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
  EXPECT_EQ(kErrAccessDenied, reg.CreateKey(kHKeyLocalMachine, "SOFTWARE\\Locked", 0,
                                            kKeyAllAccess, &key, nullptr));
  EXPECT_EQ(kErrAccessDenied, reg.CreateKey(kHKeyLocalMachine, "SOFTWARE\\Locked\\New", 0,
                                            kKeyAllAccess, &key, nullptr));
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
  EXPECT_EQ((std::vector<std::string>{"b", "a"}), mem.ValueNames(kHKeyCurrentUser, "Software\\Order"));
  uint32_t type = 0;
  std::string raw;
  ASSERT_TRUE(mem.GetRaw(kHKeyCurrentUser, "Software\\Order", "A", &raw, &type));
  EXPECT_EQ(std::string("1\0", 2), raw);
  EXPECT_EQ(kRegExpandSz, type);
}

TEST_F(MemoryWorkstation, SystemRecordAndRequests) {
  ISystem& sys = Sys();
  MemorySystem& mem = platform_.system();
  OsVersion v;
  ASSERT_TRUE(sys.GetVersionEx(&v));
  EXPECT_EQ(4u, v.major);
  EXPECT_EQ(0u, v.minor);
  EXPECT_EQ(1381u, v.build);
  EXPECT_EQ(2u, v.platformId);
  // The record's size field must be one the system knows.
  v.size = 20;
  EXPECT_FALSE(sys.GetVersionEx(&v));

  mem.SetShutdownPrivilege(false);
  EXPECT_FALSE(sys.RestartWindows());
  EXPECT_FALSE(mem.restartRequested());
  mem.SetShutdownPrivilege(true);
  EXPECT_TRUE(sys.RestartWindows());
  EXPECT_TRUE(mem.restartRequested());

  EXPECT_EQ(0u, sys.StartProcess("svs2tnst.exe", 0x08000000));
  mem.SetProcessStartFails(kErrFileNotFound);
  EXPECT_EQ(kErrFileNotFound, sys.StartProcess("other.exe", 0));
  EXPECT_EQ(kErrFileNotFound, Fs().GetLastError());
  EXPECT_EQ((std::vector<std::string>{"svs2tnst.exe"}), mem.startedProcesses());

  // The system's directories exist on the simulated disk.
  std::string dir;
  EXPECT_EQ(17u, sys.GetSystemDirectory(&dir));
  EXPECT_EQ("C:\\WINNT\\system32", dir);
  EXPECT_TRUE(Fs().GetFileAttributes(dir) & kAttrDirectory);
  std::string value;
  EXPECT_TRUE(sys.GetEnvironmentVariable("systemroot", &value));
  EXPECT_EQ("C:\\WINNT", value);

  // Without the program manager nobody hears of the change.
  sys.NotifyEnvironmentChange();
  mem.SetProgramManagerRunning(false);
  sys.NotifyEnvironmentChange();
  EXPECT_EQ(1, mem.settingChangeCount());

  std::string text;
  ASSERT_TRUE(sys.LoadString(57344, &text));
  EXPECT_EQ("SOLVANE 32 for Windows NT Setup", text);
  EXPECT_FALSE(sys.LoadString(57353, &text));  // empty counts as missing
  mem.RemoveString(57344);
  EXPECT_FALSE(sys.LoadString(57344, &text));
}

TEST_F(MemoryWorkstation, ScriptedUserAndShell) {
  IUserInterface& ui = Ui();
  MemoryUserInterface& mem = platform_.ui();
  mem.QueueAnswer(kIdNo);
  mem.QueueAnswer(kIdCancel);
  EXPECT_EQ(kIdNo, ui.MessageBox("q1", "cap", 0x24, true));
  EXPECT_EQ(kIdCancel, ui.MessageBox("q2", "cap", 0x31, false));
  EXPECT_EQ(kIdOk, ui.MessageBox("note", "cap", 0x30, true));  // OK boxes need no script
  ASSERT_EQ(3u, mem.boxes().size());
  EXPECT_EQ("q2", mem.boxes()[1].text);
  EXPECT_FALSE(mem.boxes()[1].owned);

  // A question nobody answers, and an answer the box cannot give, are
  // reported to the test.
  std::vector<std::string> reports;
  SetMemoryFailureReporter([&](const std::string& what) { reports.push_back(what); });
  EXPECT_EQ(-1, ui.MessageBox("unscripted", "cap", 0x24, true));
  mem.QueueAnswer(kIdYes);
  ui.MessageBox("ok only", "cap", 0, true);
  std::string chosen;
  EXPECT_FALSE(ui.GetOpenFileName(OpenFileRequest(), &chosen));
  SetMemoryFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
  EXPECT_EQ(3u, reports.size());

  mem.QueueOpenFileAnswer(true, "D:\\KITS\\KITPURGE.DAT");
  mem.QueueOpenFileAnswer(false, "");
  OpenFileRequest request;
  request.fileName = "KITPURGE.DAT";
  EXPECT_TRUE(ui.GetOpenFileName(request, &chosen));
  EXPECT_EQ("D:\\KITS\\KITPURGE.DAT", chosen);
  EXPECT_FALSE(ui.GetOpenFileName(request, &chosen));
  ASSERT_EQ(3u, mem.openFileRequests().size());
  EXPECT_EQ("KITPURGE.DAT", mem.openFileRequests()[1].fileName);

  // A click that arrives while the program works.
  bool cancelled = false;
  mem.SetPumpHook([&] { cancelled = mem.pumpCount() == 2; });
  ui.PumpMessages();
  EXPECT_FALSE(cancelled);
  ui.PumpMessages();
  EXPECT_TRUE(cancelled);

  // The shell's folders exist on the simulated disk.
  for (int csidl : {kCsidlCommonPrograms, kCsidlDesktop}) {
    std::string folder;
    ASSERT_TRUE(Shell().GetSpecialFolderPath(csidl, &folder));
    EXPECT_TRUE(Fs().GetFileAttributes(folder) & kAttrDirectory) << folder;
  }
}

TEST(MemoryPlatformInstall, InstallsItselfAndLeavesAnEmptyPlatform) {
  {
    MemoryPlatform platform;
    platform.Install();
    EXPECT_EQ(&platform.files(), Get().fs);
    EXPECT_EQ(&platform.net(), Get().net);
  }
  EXPECT_EQ(nullptr, Get().fs);
  EXPECT_EQ(nullptr, Get().ui);
}

}  // namespace
