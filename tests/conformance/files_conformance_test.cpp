// Files and directories through IFileSystem, as both platforms must behave.
#include "conformance/conformance_env.h"

#include <algorithm>

namespace {

using namespace svp;

class FileConformance : public ConformanceTest {};

TEST_F(FileConformance, CreateWriteReadAndDispositions) {
  IFileSystem& fs = Fs();
  const std::string path = In("data.bin");

  FileHandle h = Open(path, kGenericWrite, 0, kCreateNew);
  ASSERT_NE(kInvalidFile, h);
  const std::string bytes("abc\0def\r\n", 9);
  uint32_t written = 0;
  ASSERT_TRUE(fs.WriteFile(h, bytes.data(), 9, &written));
  EXPECT_EQ(9u, written);
  Close(h);
  EXPECT_EQ(bytes, Get(path));

  // A new file may not replace an old one.
  EXPECT_EQ(kInvalidFile, fs.CreateFile(path, kGenericWrite, 0, kCreateNew));
  EXPECT_EQ(kErrFileExists, LastError());

  // Opening an existing file "always" says so in the last error.
  h = Open(path, kGenericRead, kShareRead, kOpenAlways);
  ASSERT_NE(kInvalidFile, h);
  EXPECT_EQ(kErrAlreadyExists, LastError());
  Close(h);
  h = Open(In("fresh.bin"), kGenericRead | kGenericWrite, 0, kOpenAlways);
  ASSERT_NE(kInvalidFile, h);
  EXPECT_EQ(0u, LastError());
  Close(h);

  // Create-always empties an existing file.
  h = Open(path, kGenericWrite, 0, kCreateAlways);
  ASSERT_NE(kInvalidFile, h);
  EXPECT_EQ(kErrAlreadyExists, LastError());
  Close(h);
  EXPECT_EQ("", Get(path));

  EXPECT_EQ(kInvalidFile, fs.CreateFile(In("missing.bin"), kGenericRead, 0, kOpenExisting));
  EXPECT_EQ(kErrFileNotFound, LastError());
  EXPECT_EQ(kInvalidFile, fs.CreateFile(In("nodir\\x.bin"), kGenericWrite, 0, kCreateAlways));
  EXPECT_EQ(kErrPathNotFound, LastError());
  EXPECT_EQ(kInvalidFile, fs.CreateFile(In("nodir\\x.bin"), kGenericRead, 0, kOpenExisting));
  EXPECT_EQ(kErrPathNotFound, LastError());
}

TEST_F(FileConformance, HandlePositionsSizesAndAccess) {
  IFileSystem& fs = Fs();
  const std::string path = In("pos.txt");
  ASSERT_TRUE(Put(path, "0123456789"));

  FileHandle h = Open(path, kGenericRead | kGenericWrite, 0, kOpenExisting);
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
  Close(h);
  EXPECT_EQ("AB23456", Get(path));

  // A handle does only what it was opened for.
  h = Open(path, kGenericRead, kShareRead, kOpenExisting);
  ASSERT_NE(kInvalidFile, h);
  EXPECT_FALSE(fs.WriteFile(h, "x", 1, &written));
  EXPECT_EQ(kErrAccessDenied, LastError());
  Close(h);
  h = Open(path, kGenericWrite, 0, kOpenExisting);
  ASSERT_NE(kInvalidFile, h);
  EXPECT_FALSE(fs.ReadFile(h, buffer, 1, &got));
  EXPECT_EQ(kErrAccessDenied, LastError());
  Close(h);
  EXPECT_FALSE(fs.CloseHandle(h));
  EXPECT_EQ(kErrInvalidHandle, LastError());
}

TEST_F(FileConformance, FileTimesRoundTripThroughTheHandle) {
  IFileSystem& fs = Fs();
  const std::string path = In("times.txt");
  ASSERT_TRUE(Put(path, "t"));
  FileTime when;  // 2001-01-01 00:00:00
  when.low = 0x2C03C000u;
  when.high = 0x01C07385u;
  FileHandle h = Open(path, kGenericWrite, 0, kOpenExisting);
  ASSERT_NE(kInvalidFile, h);
  ASSERT_TRUE(fs.SetFileTime(h, nullptr, nullptr, &when));
  Close(h);
  h = Open(path, kGenericRead, kShareRead, kOpenExisting);
  ASSERT_NE(kInvalidFile, h);
  ByHandleFileInfo info;
  ASSERT_TRUE(fs.GetFileInformationByHandle(h, &info));
  EXPECT_EQ(when.low, info.lastWrite.low);
  EXPECT_EQ(when.high, info.lastWrite.high);
  Close(h);

  // A copy keeps the last-write time of its source.
  ASSERT_TRUE(fs.CopyFile(path, In("copy.txt"), true));
  h = Open(In("copy.txt"), kGenericRead, kShareRead, kOpenExisting);
  ASSERT_NE(kInvalidFile, h);
  ASSERT_TRUE(fs.GetFileInformationByHandle(h, &info));
  EXPECT_EQ(when.low, info.lastWrite.low);
  EXPECT_EQ(when.high, info.lastWrite.high);
  Close(h);
}

TEST_F(FileConformance, ShareModesBetweenOpenHandles) {
  IFileSystem& fs = Fs();
  const std::string path = In("shared.log");
  ASSERT_TRUE(Put(path, "x"));

  // An exclusive opener keeps everybody else out.
  FileHandle exclusive = Open(path, kGenericWrite, 0, kOpenExisting);
  ASSERT_NE(kInvalidFile, exclusive);
  EXPECT_EQ(kInvalidFile, fs.CreateFile(path, kGenericRead, kShareRead | kShareWrite, kOpenExisting));
  EXPECT_EQ(kErrSharingViolation, LastError());
  EXPECT_EQ(kInvalidFile, fs.CreateFile(path, kGenericWrite, kShareRead | kShareWrite, kCreateAlways));
  EXPECT_EQ(kErrSharingViolation, LastError());
  EXPECT_FALSE(fs.DeleteFile(path));
  EXPECT_EQ(kErrSharingViolation, LastError());
  EXPECT_FALSE(fs.CopyFile(path, In("copy.log"), false));
  EXPECT_EQ(kErrSharingViolation, LastError());
  EXPECT_FALSE(fs.CopyFile(In("nothing"), path, false));  // the source is checked first
  EXPECT_EQ(kErrFileNotFound, LastError());
  ASSERT_TRUE(Put(In("other.log"), "o"));
  EXPECT_FALSE(fs.CopyFile(In("other.log"), path, false));
  EXPECT_EQ(kErrSharingViolation, LastError());
  Close(exclusive);

  // Readers that share reading get along; a writer needs their consent.
  FileHandle reader = Open(path, kGenericRead, kShareRead, kOpenExisting);
  ASSERT_NE(kInvalidFile, reader);
  FileHandle second = Open(path, kGenericRead, kShareRead, kOpenExisting);
  EXPECT_NE(kInvalidFile, second);
  EXPECT_EQ(kInvalidFile, fs.CreateFile(path, kGenericWrite, kShareRead, kOpenExisting));
  EXPECT_EQ(kErrSharingViolation, LastError());
  // ... and the newcomer must share what the others do.
  EXPECT_EQ(kInvalidFile, fs.CreateFile(path, kGenericRead, 0, kOpenExisting));
  EXPECT_EQ(kErrSharingViolation, LastError());
  Close(reader);
  Close(second);

  FileHandle writer = Open(path, kGenericWrite, kShareRead | kShareWrite, kOpenExisting);
  ASSERT_NE(kInvalidFile, writer);
  EXPECT_EQ(kInvalidFile, fs.CreateFile(path, kGenericRead, kShareRead, kOpenExisting));
  EXPECT_EQ(kErrSharingViolation, LastError());
  FileHandle tolerant = Open(path, kGenericRead, kShareRead | kShareWrite, kOpenExisting);
  EXPECT_NE(kInvalidFile, tolerant);
  Close(tolerant);
  Close(writer);

  // Once every handle is closed the file is free again.
  EXPECT_TRUE(fs.DeleteFile(path));
}

TEST_F(FileConformance, DeleteFileFailures) {
  IFileSystem& fs = Fs();
  EXPECT_FALSE(fs.DeleteFile(In("missing.txt")));
  EXPECT_EQ(kErrFileNotFound, LastError());
  EXPECT_FALSE(fs.DeleteFile(In("nodir\\missing.txt")));
  EXPECT_EQ(kErrPathNotFound, LastError());

  const std::string locked = In("locked.txt");
  ASSERT_TRUE(Put(locked, "l"));
  ASSERT_TRUE(fs.SetFileAttributes(locked, kAttrReadOnly));
  EXPECT_FALSE(fs.DeleteFile(locked));
  EXPECT_EQ(kErrAccessDenied, LastError());
  // Readers are welcome.  (Whether writers are refused depends on the
  // account under Wine: root may write, so that is checked natively only.)
  FileHandle h = Open(locked, kGenericRead, kShareRead, kOpenExisting);
  EXPECT_NE(kInvalidFile, h);
  Close(h);
  ASSERT_TRUE(fs.SetFileAttributes(locked, kAttrNormal));
  EXPECT_TRUE(fs.DeleteFile(locked));
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes(locked));

  // A directory is not a file.
  ASSERT_TRUE(fs.CreateDirectory(In("dir")));
  EXPECT_FALSE(fs.DeleteFile(In("dir")));
  EXPECT_EQ(kErrAccessDenied, LastError());
}

TEST_F(FileConformance, MoveFileRenamesAndQueuesDelayedOperations) {
  IFileSystem& fs = Fs();
  ASSERT_TRUE(Put(In("a.txt"), "A"));
  ASSERT_TRUE(Put(In("b.txt"), "B"));
  const std::string c = In("c.txt");

  ASSERT_TRUE(fs.MoveFileEx(In("a.txt"), &c, 0));
  EXPECT_EQ("A", Get(c));
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes(In("a.txt")));

  const std::string b = In("b.txt");
  EXPECT_FALSE(fs.MoveFileEx(c, &b, 0));
  EXPECT_EQ(kErrAlreadyExists, LastError());
  EXPECT_EQ("B", Get(b));
  ASSERT_TRUE(fs.MoveFileEx(c, &b, kMoveReplaceExisting));
  EXPECT_EQ("A", Get(b));

  EXPECT_FALSE(fs.MoveFileEx(In("gone.txt"), &c, 0));
  EXPECT_EQ(kErrFileNotFound, LastError());

  // Delayed requests are accepted at once, for missing files too, and leave
  // the error of an earlier call alone; nothing moves before the restart.
  EXPECT_TRUE(fs.MoveFileEx(b, nullptr, kMoveDelayUntilReboot));
  EXPECT_EQ("A", Get(b));
  fs.SetLastError(kErrSharingViolation);
  EXPECT_TRUE(fs.MoveFileEx(In("never.txt"), nullptr, kMoveDelayUntilReboot));
  EXPECT_EQ(kErrSharingViolation, LastError());
  EXPECT_TRUE(fs.MoveFileEx(b, &c, kMoveDelayUntilReboot | kMoveReplaceExisting));
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes(c));
}

TEST_F(FileConformance, CopyFileOverwriteAndFailIfExists) {
  IFileSystem& fs = Fs();
  const std::string from = In("from.dat");
  const std::string to = In("to.dat");
  ASSERT_TRUE(Put(from, std::string("new\0contents", 12)));
  ASSERT_TRUE(Put(to, "old"));

  EXPECT_FALSE(fs.CopyFile(from, to, true));
  EXPECT_EQ(kErrFileExists, LastError());
  EXPECT_EQ("old", Get(to));

  ASSERT_TRUE(fs.CopyFile(from, to, false));
  EXPECT_EQ(std::string("new\0contents", 12), Get(to));
  EXPECT_EQ(std::string("new\0contents", 12), Get(from));

  EXPECT_FALSE(fs.CopyFile(In("none.dat"), to, false));
  EXPECT_EQ(kErrFileNotFound, LastError());
  EXPECT_FALSE(fs.CopyFile(from, In("nodir\\to.dat"), false));
  EXPECT_EQ(kErrPathNotFound, LastError());

  // A read-only source gives a read-only copy.  (A read-only target refuses
  // the copy on Windows; root under Wine overwrites it: checked natively.)
  ASSERT_TRUE(fs.SetFileAttributes(from, kAttrReadOnly));
  ASSERT_TRUE(fs.CopyFile(from, In("copy.dat"), false));
  uint32_t attributes = fs.GetFileAttributes(In("copy.dat"));
  ASSERT_NE(kInvalidAttributes, attributes);
  EXPECT_EQ(static_cast<uint32_t>(kAttrReadOnly), attributes & kAttrReadOnly);
  for (const char* name : {"to.dat", "from.dat", "copy.dat"}) {
    fs.SetFileAttributes(In(name), kAttrNormal);
  }
}

TEST_F(FileConformance, DirectoriesCreateAndRemove) {
  IFileSystem& fs = Fs();
  const std::string dir = In("sub");
  ASSERT_TRUE(fs.CreateDirectory(dir));
  EXPECT_FALSE(fs.CreateDirectory(dir));
  EXPECT_EQ(kErrAlreadyExists, LastError());
  EXPECT_FALSE(fs.CreateDirectory(In("no\\such\\parent")));
  EXPECT_EQ(kErrPathNotFound, LastError());
  // A file's name is taken too.
  ASSERT_TRUE(Put(In("file"), "f"));
  EXPECT_FALSE(fs.CreateDirectory(In("file")));
  EXPECT_EQ(kErrAlreadyExists, LastError());

  uint32_t attributes = fs.GetFileAttributes(dir);
  ASSERT_NE(kInvalidAttributes, attributes);
  EXPECT_EQ(static_cast<uint32_t>(kAttrDirectory), attributes & kAttrDirectory);
  // A trailing backslash names the same directory.
  EXPECT_NE(kInvalidAttributes, fs.GetFileAttributes(dir + "\\"));

  ASSERT_TRUE(Put(dir + "\\inner.txt", "i"));
  EXPECT_FALSE(fs.RemoveDirectory(dir));
  EXPECT_EQ(kErrDirNotEmpty, LastError());
  ASSERT_TRUE(fs.DeleteFile(dir + "\\inner.txt"));
  EXPECT_TRUE(fs.RemoveDirectory(dir));
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes(dir));

  EXPECT_FALSE(fs.RemoveDirectory(dir));
  EXPECT_EQ(kErrFileNotFound, LastError());
  EXPECT_FALSE(fs.RemoveDirectory(In("file")));
  EXPECT_EQ(267u, LastError());  // the directory name is invalid
}

TEST_F(FileConformance, AttributesAndExistence) {
  IFileSystem& fs = Fs();
  const std::string file = In("attr.txt");
  ASSERT_TRUE(Put(file, "a"));

  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes(In("missing")));
  EXPECT_EQ(kErrFileNotFound, LastError());
  EXPECT_EQ(kInvalidAttributes, fs.GetFileAttributes(In("missing\\deeper")));
  EXPECT_EQ(kErrPathNotFound, LastError());

  uint32_t attributes = fs.GetFileAttributes(file);
  ASSERT_NE(kInvalidAttributes, attributes);
  EXPECT_EQ(0u, attributes & (kAttrDirectory | kAttrReadOnly));
  ASSERT_TRUE(fs.SetFileAttributes(file, kAttrReadOnly));
  EXPECT_EQ(static_cast<uint32_t>(kAttrReadOnly), fs.GetFileAttributes(file) & kAttrReadOnly);
  ASSERT_TRUE(fs.SetFileAttributes(file, kAttrNormal));
  EXPECT_EQ(0u, fs.GetFileAttributes(file) & kAttrReadOnly);
  EXPECT_FALSE(fs.SetFileAttributes(In("missing"), kAttrNormal));
  EXPECT_EQ(kErrFileNotFound, LastError());

  EXPECT_EQ(0, fs.AccessExists(file));
  EXPECT_EQ(0, fs.AccessExists(Scratch()));
  EXPECT_EQ(2, fs.AccessExists(In("missing")));
  EXPECT_EQ(2, fs.AccessExists(In("missing\\deeper")));
}

TEST_F(FileConformance, FullPathsAgainstTheCurrentDirectory) {
  IFileSystem& fs = Fs();
  std::string saved;
  ASSERT_GT(fs.GetCurrentDirectory(&saved), 0u);
  const std::string base = Scratch();
  ASSERT_TRUE(fs.CreateDirectory(In("work")));
  ASSERT_TRUE(fs.SetCurrentDirectory(In("work")));

  std::string current;
  EXPECT_EQ(base.size() + 5, fs.GetCurrentDirectory(&current));
  EXPECT_EQ(base + "\\work", current);

  std::string out;
  EXPECT_EQ(base.size() + 15, fs.GetFullPathName("sub\\x.dll", 260, &out));
  EXPECT_EQ(base + "\\work\\sub\\x.dll", out);
  fs.GetFullPathName(".\\a\\..\\b.txt", 260, &out);
  EXPECT_EQ(base + "\\work\\b.txt", out);
  fs.GetFullPathName("..\\", 260, &out);
  EXPECT_EQ(base + "\\", out);
  fs.GetFullPathName("C:\\x\\.\\y\\..\\z", 260, &out);
  EXPECT_EQ("C:\\x\\z", out);
  fs.GetFullPathName("\\root.txt", 260, &out);
  EXPECT_EQ(base.substr(0, 2) + "\\root.txt", out);
  fs.GetFullPathName(base.substr(0, 2) + "rel.txt", 260, &out);
  EXPECT_EQ(base + "\\work\\rel.txt", out);
  // Names need not exist.
  fs.GetFullPathName("none\\of\\these", 260, &out);
  EXPECT_EQ(base + "\\work\\none\\of\\these", out);

  // Too small a buffer: the size needed, counting the NUL, and no result.
  out = "unchanged";
  EXPECT_EQ(base.size() + 12, fs.GetFullPathName("abcde", 8, &out));
  EXPECT_EQ("unchanged", out);

  // Relative names reach files through the current directory.
  ASSERT_TRUE(Put("here.txt", "h"));
  EXPECT_EQ("h", Get(In("work\\here.txt")));

  // The process holds its current directory: it cannot be removed.
  EXPECT_FALSE(fs.RemoveDirectory(In("work")));
  EXPECT_EQ(kErrSharingViolation, LastError());

  EXPECT_FALSE(fs.SetCurrentDirectory(In("absent")));
  EXPECT_EQ(kErrFileNotFound, LastError());
  EXPECT_TRUE(fs.SetCurrentDirectory(saved));
}

TEST_F(FileConformance, ShortPathsOfMissingAndExistingNames) {
  IFileSystem& fs = Fs();
  std::string out = "unchanged";
  EXPECT_EQ(0u, fs.GetShortPathName(In("missing.txt"), 260, &out));
  EXPECT_EQ(kErrFileNotFound, LastError());
  EXPECT_EQ("unchanged", out);
  EXPECT_EQ(0u, fs.GetShortPathName(In("missing\\x.txt"), 260, &out));

  ASSERT_TRUE(Put(In("X.TXT"), "x"));
  uint32_t length = fs.GetShortPathName(In("X.TXT"), 260, &out);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, 260u);
  EXPECT_EQ(length, out.size());
  EXPECT_EQ("\\X.TXT", out.substr(out.size() - 6));
  std::string small = "unchanged";
  EXPECT_EQ(length + 1, fs.GetShortPathName(In("X.TXT"), 4, &small));
  EXPECT_EQ("unchanged", small);
}

TEST_F(FileConformance, DiskFreeSpaceAndErrorTexts) {
  IFileSystem& fs = Fs();
  uint32_t sectors = 0, bytes = 0, freeClusters = 0, total = 0;
  ASSERT_TRUE(fs.GetDiskFreeSpace(nullptr, &sectors, &bytes, &freeClusters, &total));
  EXPECT_GT(sectors, 0u);
  EXPECT_GT(bytes, 0u);
  EXPECT_LE(freeClusters, total);
  const std::string root = "C:\\";
  EXPECT_TRUE(fs.GetDiskFreeSpace(&root, &sectors, &bytes, &freeClusters, &total));

  for (uint32_t error : {2u, 3u, 5u, 32u}) {
    std::string text;
    ASSERT_TRUE(fs.FormatErrorText(error, &text)) << error;
    // The texts differ between systems; their form does not.
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ("\r\n", text.substr(text.size() - 2)) << error;
  }
}

}  // namespace
