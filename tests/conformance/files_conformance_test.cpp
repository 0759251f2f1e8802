// Files and directories through IFileSystem, as both platforms must behave.
#include "conformance/conformance_env.h"

namespace {

using namespace svp;

class FileConformance : public ConformanceTest {
 protected:
  // The directory and read-only bits, or kInvalidAttributes.
  uint32_t Attributes(const std::string& path) {
    const uint32_t a = Fs().GetFileAttributes(path);
    return a == kInvalidAttributes ? a : a & (kAttrDirectory | kAttrReadOnly);
  }
};

TEST_F(FileConformance, CreateWriteReadAndDispositions) {
  IFileSystem& fs = Fs();
  const std::string path = In("data.bin");
  FileHandle h = fs.CreateFile(path, kGenericWrite, 0, kCreateNew);
  ASSERT_NE(kInvalidFile, h);
  const std::string bytes("abc\0def\r\n", 9);
  uint32_t written = 0;
  ASSERT_TRUE(fs.WriteFile(h, bytes.data(), 9, &written));
  EXPECT_EQ(9u, written);
  fs.CloseHandle(h);
  EXPECT_EQ(bytes, Get(path));

  // Opening an existing file "always" says so in the last error; create-always empties it.
  EXPECT_EQ(kErrFileExists, OpenError(path, kGenericWrite, 0, kCreateNew));
  h = fs.CreateFile(path, kGenericRead, kShareRead, kOpenAlways);
  EXPECT_EQ(kErrAlreadyExists, LastError());
  fs.CloseHandle(h);
  h = fs.CreateFile(In("fresh.bin"), kGenericRead | kGenericWrite, 0, kOpenAlways);
  EXPECT_EQ(0u, LastError());
  fs.CloseHandle(h);
  h = fs.CreateFile(path, kGenericWrite, 0, kCreateAlways);
  EXPECT_EQ(kErrAlreadyExists, LastError());
  fs.CloseHandle(h);
  EXPECT_EQ("", Get(path));

  EXPECT_EQ(kErrFileNotFound, OpenError(In("missing.bin"), kGenericRead, 0, kOpenExisting));
  EXPECT_EQ(kErrPathNotFound, OpenError(In("nodir\\x.bin"), kGenericWrite, 0, kCreateAlways));
}

TEST_F(FileConformance, HandlePositionsSizesTimesAndAccess) {
  IFileSystem& fs = Fs();
  const std::string path = In("pos.txt");
  ASSERT_TRUE(Put(path, "0123456789"));
  FileHandle h = fs.CreateFile(path, kGenericRead | kGenericWrite, 0, kOpenExisting);
  ASSERT_NE(kInvalidFile, h);
  ASSERT_TRUE(fs.SetFilePointer(h, 4));
  char buffer[16] = {};
  uint32_t got = 0;
  ASSERT_TRUE(fs.ReadFile(h, buffer, 3, &got));
  EXPECT_EQ("456", std::string(buffer, got));
  ASSERT_TRUE(fs.SetEndOfFile(h));  // at 7
  ByHandleFileInfo info;
  ASSERT_TRUE(fs.GetFileInformationByHandle(h, &info));
  EXPECT_EQ(7u, info.sizeLow);
  EXPECT_EQ(0u, info.sizeHigh);
  EXPECT_EQ(0u, info.attributes & kAttrDirectory);
  // Reading at the end gives nothing and succeeds.
  ASSERT_TRUE(fs.ReadFile(h, buffer, sizeof buffer, &got));
  EXPECT_EQ(0u, got);
  ASSERT_TRUE(fs.SetFilePointer(h, 0));
  uint32_t written = 0;
  ASSERT_TRUE(fs.WriteFile(h, "AB", 2, &written));
  EXPECT_TRUE(fs.FlushFileBuffers(h));
  const FileTime when{0x2C03C000u, 0x01C07385u};  // 2001-01-01 00:00:00
  ASSERT_TRUE(fs.SetFileTime(h, nullptr, nullptr, &when));
  fs.CloseHandle(h);
  EXPECT_EQ("AB23456", Get(path));

  // A handle does only what it was opened for; a copy keeps the last-write time.
  ASSERT_TRUE(fs.CopyFile(path, In("copy.txt"), true));
  for (const std::string& name : {path, In("copy.txt")}) {
    h = fs.CreateFile(name, kGenericRead, kShareRead, kOpenExisting);
    ASSERT_TRUE(fs.GetFileInformationByHandle(h, &info));
    EXPECT_EQ(when.low, info.lastWrite.low) << name;
    EXPECT_EQ(when.high, info.lastWrite.high) << name;
    EXPECT_EQ(kErrAccessDenied, Error(fs.WriteFile(h, "x", 1, &written)));
    fs.CloseHandle(h);
  }
  h = fs.CreateFile(path, kGenericWrite, 0, kOpenExisting);
  EXPECT_EQ(kErrAccessDenied, Error(fs.ReadFile(h, buffer, 1, &got)));
  fs.CloseHandle(h);
  EXPECT_EQ(kErrInvalidHandle, Error(fs.CloseHandle(h)));
}

TEST_F(FileConformance, ShareModesBetweenOpenHandles) {
  IFileSystem& fs = Fs();
  const std::string path = In("shared.log");
  const uint32_t both = kShareRead | kShareWrite;
  ASSERT_TRUE(Put(path, "x"));
  ASSERT_TRUE(Put(In("other.log"), "o"));

  // An exclusive opener keeps everybody else out.
  FileHandle exclusive = fs.CreateFile(path, kGenericWrite, 0, kOpenExisting);
  ASSERT_NE(kInvalidFile, exclusive);
  EXPECT_EQ(kErrSharingViolation, OpenError(path, kGenericRead, both, kOpenExisting));
  EXPECT_EQ(kErrSharingViolation, Error(fs.DeleteFile(path)));
  EXPECT_EQ(kErrSharingViolation, Error(fs.CopyFile(path, In("copy.log"), false)));
  EXPECT_EQ(kErrSharingViolation, Error(fs.CopyFile(In("other.log"), path, false)));
  // The source is checked first.
  EXPECT_EQ(kErrFileNotFound, Error(fs.CopyFile(In("nothing"), path, false)));
  fs.CloseHandle(exclusive);

  // Readers that share reading get along; a writer needs their consent, and
  // a newcomer must share what the others do.
  FileHandle reader = fs.CreateFile(path, kGenericRead, kShareRead, kOpenExisting);
  ASSERT_NE(kInvalidFile, reader);
  EXPECT_EQ(0u, OpenError(path, kGenericRead, kShareRead, kOpenExisting));
  EXPECT_EQ(kErrSharingViolation, OpenError(path, kGenericWrite, kShareRead, kOpenExisting));
  EXPECT_EQ(kErrSharingViolation, OpenError(path, kGenericRead, 0, kOpenExisting));
  fs.CloseHandle(reader);
  FileHandle writer = fs.CreateFile(path, kGenericWrite, both, kOpenExisting);
  ASSERT_NE(kInvalidFile, writer);
  EXPECT_EQ(kErrSharingViolation, OpenError(path, kGenericRead, kShareRead, kOpenExisting));
  EXPECT_EQ(0u, OpenError(path, kGenericRead, both, kOpenExisting));
  fs.CloseHandle(writer);
  // Once every handle is closed the file is free again.
  EXPECT_TRUE(fs.DeleteFile(path));
}

TEST_F(FileConformance, DeleteMoveAndCopyFailures) {
  IFileSystem& fs = Fs();
  EXPECT_EQ(kErrFileNotFound, Error(fs.DeleteFile(In("missing.txt"))));
  EXPECT_EQ(kErrPathNotFound, Error(fs.DeleteFile(In("nodir\\missing.txt"))));
  ASSERT_TRUE(fs.CreateDirectory(In("dir")));
  EXPECT_EQ(kErrAccessDenied, Error(fs.DeleteFile(In("dir"))));  // not a file

  // Read-only: readers welcome, deletion refused, and a copy is read-only too.
  // (Whether writers are refused depends on the account under Wine: root may
  // write, so that is checked natively only.)
  const std::string locked = In("locked.txt");
  ASSERT_TRUE(Put(locked, std::string("new\0contents", 12)));
  ASSERT_TRUE(fs.SetFileAttributes(locked, kAttrReadOnly));
  EXPECT_EQ(kErrAccessDenied, Error(fs.DeleteFile(locked)));
  EXPECT_EQ(0u, OpenError(locked, kGenericRead, kShareRead, kOpenExisting));
  ASSERT_TRUE(fs.CopyFile(locked, In("copy.dat"), false));
  EXPECT_EQ(static_cast<uint32_t>(kAttrReadOnly), Attributes(In("copy.dat")));
  for (const char* name : {"locked.txt", "copy.dat"}) fs.SetFileAttributes(In(name), kAttrNormal);
  EXPECT_TRUE(fs.DeleteFile(locked));
  EXPECT_EQ(kInvalidAttributes, Attributes(locked));
  EXPECT_EQ(std::string("new\0contents", 12), Get(In("copy.dat")));

  const std::string to = In("to.dat");
  ASSERT_TRUE(Put(to, "old"));
  EXPECT_EQ(kErrFileExists, Error(fs.CopyFile(In("copy.dat"), to, true)));
  EXPECT_EQ("old", Get(to));
  ASSERT_TRUE(fs.CopyFile(In("copy.dat"), to, false));
  EXPECT_EQ(std::string("new\0contents", 12), Get(to));
  EXPECT_EQ(kErrPathNotFound, Error(fs.CopyFile(to, In("nodir\\to.dat"), false)));

  const std::string moved = In("moved.dat");
  ASSERT_TRUE(Put(In("a.txt"), "A"));
  ASSERT_TRUE(fs.MoveFileEx(In("a.txt"), &moved, 0));
  EXPECT_EQ(kInvalidAttributes, Attributes(In("a.txt")));
  EXPECT_EQ(kErrAlreadyExists, Error(fs.MoveFileEx(moved, &to, 0)));
  EXPECT_EQ("A", Get(moved));
  ASSERT_TRUE(fs.MoveFileEx(moved, &to, kMoveReplaceExisting));
  EXPECT_EQ("A", Get(to));
  EXPECT_EQ(kErrFileNotFound, Error(fs.MoveFileEx(In("gone.txt"), &moved, 0)));

  // Delayed requests are accepted at once, for missing files too, and leave
  // the error of an earlier call alone; nothing moves before the restart.
  EXPECT_TRUE(fs.MoveFileEx(to, nullptr, kMoveDelayUntilReboot));
  fs.SetLastError(kErrSharingViolation);
  EXPECT_TRUE(fs.MoveFileEx(In("never.txt"), nullptr, kMoveDelayUntilReboot));
  EXPECT_EQ(kErrSharingViolation, LastError());
  EXPECT_TRUE(fs.MoveFileEx(to, &moved, kMoveDelayUntilReboot | kMoveReplaceExisting));
  EXPECT_EQ("A", Get(to));
  EXPECT_EQ(kInvalidAttributes, Attributes(moved));
}

TEST_F(FileConformance, DirectoriesAttributesAndExistence) {
  IFileSystem& fs = Fs();
  const std::string dir = In("sub");
  const std::string file = In("file");
  ASSERT_TRUE(fs.CreateDirectory(dir));
  ASSERT_TRUE(Put(file, "f"));
  EXPECT_EQ(kErrAlreadyExists, Error(fs.CreateDirectory(dir)));
  EXPECT_EQ(kErrAlreadyExists, Error(fs.CreateDirectory(file)));  // a file's name is taken too
  EXPECT_EQ(kErrPathNotFound, Error(fs.CreateDirectory(In("no\\such\\parent"))));
  EXPECT_EQ(static_cast<uint32_t>(kAttrDirectory), Attributes(dir));
  EXPECT_EQ(static_cast<uint32_t>(kAttrDirectory), Attributes(dir + "\\"));
  EXPECT_EQ(0u, Attributes(file));
  EXPECT_EQ(kErrFileNotFound, Error(fs.SetFileAttributes(In("missing"), kAttrNormal)));
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes(In("missing")));
  EXPECT_EQ(kErrFileNotFound, LastError());
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes(In("missing\\deeper")));
  EXPECT_EQ(kErrPathNotFound, LastError());
  EXPECT_EQ(0, fs.AccessExists(file));
  EXPECT_EQ(0, fs.AccessExists(Scratch()));
  EXPECT_EQ(2, fs.AccessExists(In("missing")));

  ASSERT_TRUE(Put(dir + "\\inner.txt", "i"));
  EXPECT_EQ(kErrDirNotEmpty, Error(fs.RemoveDirectory(dir)));
  ASSERT_TRUE(fs.DeleteFile(dir + "\\inner.txt"));
  EXPECT_TRUE(fs.RemoveDirectory(dir));
  EXPECT_EQ(kErrFileNotFound, Error(fs.RemoveDirectory(dir)));
  EXPECT_EQ(267u, Error(fs.RemoveDirectory(file)));  // the directory name is invalid
}

TEST_F(FileConformance, FullPathsAgainstTheCurrentDirectory) {
  IFileSystem& fs = Fs();
  std::string saved;
  ASSERT_GT(fs.GetCurrentDirectory(&saved), 0u);
  const std::string base = Scratch();
  const std::string drive = base.substr(0, 2);
  ASSERT_TRUE(fs.CreateDirectory(In("work")));
  ASSERT_TRUE(fs.SetCurrentDirectory(In("work")));
  std::string out;
  EXPECT_EQ(base.size() + 5, fs.GetCurrentDirectory(&out));
  EXPECT_EQ(base + "\\work", out);
  EXPECT_EQ(base.size() + 15, fs.GetFullPathName("sub\\x.dll", 260, &out));
  EXPECT_EQ(base + "\\work\\sub\\x.dll", out);
  const std::pair<std::string, std::string> cases[] = {
      {".\\a\\..\\b.txt", base + "\\work\\b.txt"},
      {"..\\", base + "\\"},
      {"C:\\x\\.\\y\\..\\z", "C:\\x\\z"},
      {"\\root.txt", drive + "\\root.txt"},
      {drive + "rel.txt", base + "\\work\\rel.txt"},
      {"none\\of\\these", base + "\\work\\none\\of\\these"},  // names need not exist
  };
  for (const auto& [name, full] : cases) {
    fs.GetFullPathName(name, 260, &out);
    EXPECT_EQ(full, out) << name;
  }
  // Too small a buffer: the size needed, counting the NUL, and no result.
  out = "unchanged";
  EXPECT_EQ(base.size() + 12, fs.GetFullPathName("abcde", 8, &out));
  EXPECT_EQ("unchanged", out);

  // Relative names reach files; the process holds its current directory.
  ASSERT_TRUE(Put("here.txt", "h"));
  EXPECT_EQ("h", Get(In("work\\here.txt")));
  EXPECT_EQ(kErrSharingViolation, Error(fs.RemoveDirectory(In("work"))));
  EXPECT_EQ(kErrFileNotFound, Error(fs.SetCurrentDirectory(In("absent"))));
  EXPECT_TRUE(fs.SetCurrentDirectory(saved));
}

TEST_F(FileConformance, ShortPathsFreeSpaceAndErrorTexts) {
  IFileSystem& fs = Fs();
  std::string out = "unchanged";
  EXPECT_EQ(0u, fs.GetShortPathName(In("missing.txt"), 260, &out));
  EXPECT_EQ(kErrFileNotFound, LastError());
  EXPECT_EQ(0u, fs.GetShortPathName(In("missing\\x.txt"), 260, &out));
  EXPECT_EQ("unchanged", out);
  ASSERT_TRUE(Put(In("X.TXT"), "x"));
  const uint32_t length = fs.GetShortPathName(In("X.TXT"), 260, &out);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, 260u);
  EXPECT_EQ(length, out.size());
  EXPECT_EQ("\\X.TXT", out.substr(out.size() - 6));
  std::string small = "unchanged";
  EXPECT_EQ(length + 1, fs.GetShortPathName(In("X.TXT"), 4, &small));
  EXPECT_EQ("unchanged", small);

  uint32_t sectors = 0, bytes = 0, freeClusters = 0, total = 0;
  ASSERT_TRUE(fs.GetDiskFreeSpace(nullptr, &sectors, &bytes, &freeClusters, &total));
  EXPECT_GT(sectors, 0u);
  EXPECT_GT(bytes, 0u);
  EXPECT_LE(freeClusters, total);
  for (uint32_t error : {2u, 3u, 5u, 32u}) {
    std::string text;
    ASSERT_TRUE(fs.FormatErrorText(error, &text)) << error;
    // The texts differ between systems; their form does not.
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ("\r\n", text.substr(text.size() - 2)) << error;
  }
}

}  // namespace
