#include "files/fileops.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "files/verconfl.h"
#include "kit/kit.h"
#include "textedit/texthelpers.h"
#include "wizard/pages.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000ull;
constexpr int64_t kDaysFrom1601To1970 = 134774;

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(int64_t days, int* year, unsigned* month, unsigned* day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *day = doy - (153 * mp + 2) / 5 + 1;
  *month = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int>(yoe + era * 400 + (*month <= 2));
}

int64_t DaysFromCivil(int year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(int year, unsigned month) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

const std::string& LocationPath(const CSvLocation* location) {
  static const std::string kEmpty;
  return location != nullptr ? location->GetPath() : kEmpty;
}

// Opens a file for reading as the size and time queries do.
svp::FileHandle OpenForReading(const std::string& path) {
  return svp::Fs().CreateFile(path, svp::kGenericRead, svp::kShareRead, svp::kOpenExisting);
}

// Gives `to` the attributes (without read-only) and the three times of `from`.
// Failures here are not reported: the copy itself succeeded.
void TransferAttributesAndTimes(const std::string& from, const std::string& to) {
  svp::IFileSystem& fs = svp::Fs();
  const uint32_t attributes = fs.GetFileAttributes(from);
  svp::ByHandleFileInfo info;
  bool haveTimes = false;
  const svp::FileHandle source = OpenForReading(from);
  if (source != svp::kInvalidFile) {
    haveTimes = fs.GetFileInformationByHandle(source, &info);
    fs.CloseHandle(source);
  }
  if (attributes != svp::kInvalidAttributes)
    fs.SetFileAttributes(to, attributes & ~svp::kAttrReadOnly);
  if (!haveTimes) return;
  const svp::FileHandle target =
      fs.CreateFile(to, svp::kGenericWrite, svp::kShareRead, svp::kOpenExisting);
  if (target == svp::kInvalidFile) return;
  fs.SetFileTime(target, &info.creation, &info.lastAccess, &info.lastWrite);
  fs.CloseHandle(target);
}

// The temporary name that a replace-at-restart copy goes to first.  Replacing
// the last two characters is kept for extensions of two or more characters
// (NETLIB.DLL -> NETLIB.DRB).  "RB" is appended instead where replacing would
// lose part of the name (X.C -> X.CRB, README -> READMERB) or would give the
// destination itself (FOO.RB -> FOO.RBRB): file names ignore case.
std::string RestartTemporaryName(const std::string& destination) {
  const size_t nameStart = destination.find_last_of("\\:");
  const size_t dot = destination.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
  const size_t extensionLength = hasExtension ? destination.size() - dot - 1 : 0;
  const std::string replaced = destination.substr(0, destination.size() - 2) + "RB";
  if (extensionLength >= 2 && !SvEqualNoCase(replaced, destination)) return replaced;
  return destination + "RB";
}

// Splits a path like _splitpath: directory (with its backslash), file name,
// extension (with its dot).
void SplitPath(const std::string& path, std::string* directory, std::string* name,
               std::string* extension) {
  const size_t slash = path.find_last_of("\\/:");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  *directory = path.substr(0, nameStart);
  const std::string fileName = path.substr(nameStart);
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) {
    *name = fileName;
    extension->clear();
  } else {
    *name = fileName.substr(0, dot);
    *extension = fileName.substr(dot);
  }
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Asks the user for a source that is not where the kit says.  True with the
// chosen path; false (last error restored) when the user gives up.
bool BrowseForSource(std::string* source) {
  svp::IFileSystem& fs = svp::Fs();
  const uint32_t lastError = fs.GetLastError();
  std::string directory, name, extension;
  SplitPath(*source, &directory, &name, &extension);
  svp::OpenFileRequest request;
  request.fileName = name + extension;
  request.defaultExtension = extension.empty() ? std::string() : extension.substr(1);
  request.flags = svp::kOfnHideReadOnly | svp::kOfnOverwritePrompt;
  request.owned = false;
  // The whole extension goes into the pattern, however long, so that the
  // list shows the files of the wanted type; a name without extension gets
  // "*.", which lists the files without one.
  request.filters = {{"Installation File", "*" + (extension.empty() ? std::string(".") : extension)},
                     {"All Files", "*.*"}};
  for (;;) {
    std::string chosen;
    if (!svp::Ui().GetOpenFileName(request, &chosen)) {
      fs.SetLastError(lastError);
      return false;
    }
    if (SvEqualNoCase(FileNameOf(chosen), request.fileName)) {
      *source = chosen;
      return true;
    }
  }
}

}  // namespace

bool SvFileTimeToDosDateTime(const svp::FileTime& time, uint16_t* dosDate, uint16_t* dosTime) {
  const uint64_t ticks = (static_cast<uint64_t>(time.high) << 32) | time.low;
  const uint64_t seconds = ticks / kTicksPerSecond;
  const int64_t days = static_cast<int64_t>(seconds / 86400) - kDaysFrom1601To1970;
  const unsigned secondOfDay = static_cast<unsigned>(seconds % 86400);
  int year;
  unsigned month, day;
  CivilFromDays(days, &year, &month, &day);
  if (year < 1980 || year > 2107) return false;
  *dosDate = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
  *dosTime = static_cast<uint16_t>(((secondOfDay / 3600) << 11) | (((secondOfDay / 60) % 60) << 5) |
                                   ((secondOfDay % 60) / 2));
  return true;
}

bool SvDosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, svp::FileTime* time) {
  const int year = 1980 + (dosDate >> 9);
  const unsigned month = (dosDate >> 5) & 0xF;
  const unsigned day = dosDate & 0x1F;
  const unsigned hour = dosTime >> 11;
  const unsigned minute = (dosTime >> 5) & 0x3F;
  const unsigned second = (dosTime & 0x1F) * 2;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 59)
    return false;
  const int64_t days = DaysFromCivil(year, month, day) + kDaysFrom1601To1970;
  const uint64_t ticks =
      (static_cast<uint64_t>(days) * 86400 + hour * 3600u + minute * 60u + second) * kTicksPerSecond;
  time->low = static_cast<uint32_t>(ticks);
  time->high = static_cast<uint32_t>(ticks >> 32);
  return true;
}

std::string SvGetFilePath(const CSvFile* file, int side) {
  if (file == nullptr) return std::string();
  const bool source = side == 0;
  std::string path = LocationPath(source ? file->GetSourceLocation() : file->GetDestLocation());
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += source ? file->GetSourceName() : file->GetDestName();
  return path;
}

uint32_t SvDeleteFile(const CSvFile* file) {
  const std::string path = SvGetFilePath(file, 0);
  if (path.empty()) return kSvFileMissing;
  svp::IFileSystem& fs = svp::Fs();
  if (fs.DeleteFile(path)) return kSvFileOk;
  // The caller decides from the delete's own error whether to tell the user,
  // so the restart request must not overwrite it.
  const uint32_t error = fs.GetLastError();
  fs.MoveFileEx(path, nullptr, svp::kMoveDelayUntilReboot);
  fs.SetLastError(error);
  return kSvFileNotNow;
}

uint32_t SvGetFileSize(const CSvFile* file) {
  const std::string path = SvGetFilePath(file, 0);
  if (path.empty()) return 0;
  const svp::FileHandle handle = OpenForReading(path);
  if (handle == svp::kInvalidFile) return 0;
  svp::ByHandleFileInfo info;
  const uint32_t size = svp::Fs().GetFileInformationByHandle(handle, &info) ? info.sizeLow : 0;
  svp::Fs().CloseHandle(handle);
  return size;
}

uint32_t SvGetFileTimes(const std::string& path, svp::ByHandleFileInfo* info) {
  svp::IFileSystem& fs = svp::Fs();
  const svp::FileHandle handle = OpenForReading(path);
  if (handle == svp::kInvalidFile) return kSvFileMissing;
  uint32_t result = kSvFileNotNow;
  uint16_t date = 0, time = 0;
  if (fs.GetFileInformationByHandle(handle, info) &&
      SvFileTimeToDosDateTime(info->lastWrite, &date, &time) &&
      SvDosDateTimeToFileTime(date, time, &info->lastWrite))
    result = kSvFileOk;
  fs.CloseHandle(handle);
  return result;
}

uint32_t SvGetFileVersion(const std::string& path, SvVersionInfo* info) {
  info->fixed.fileVersionMS = 0;
  info->fixed.fileVersionLS = 0;
  info->description.clear();
  info->version.clear();

  svp::IFileSystem& fs = svp::Fs();
  if (fs.AccessExists(path) != 0) return kSvFileMissing;
  const uint32_t size = fs.GetFileVersionInfoSize(path);
  if (size != 0) {
    std::vector<uint8_t> block;
    try {
      block.reserve(size);
    } catch (const std::bad_alloc&) {
      return kSvFileNoMemory;
    } catch (const std::length_error&) {
      return kSvFileNoMemory;
    }
    std::vector<uint8_t> value;
    if (fs.GetFileVersionInfo(path, &block) && fs.VerQueryValue(block, "\\", &value)) {
      uint32_t words[13] = {};
      std::memcpy(words, value.data(), std::min(value.size(), sizeof(words)));
      SvFixedFileInfo& f = info->fixed;
      f.signature = words[0];
      f.structVersion = words[1];
      f.fileVersionMS = words[2];
      f.fileVersionLS = words[3];
      f.productVersionMS = words[4];
      f.productVersionLS = words[5];
      f.flagsMask = words[6];
      f.flags = words[7];
      f.os = words[8];
      f.fileType = words[9];
      f.fileSubtype = words[10];
      f.fileDateMS = words[11];
      f.fileDateLS = words[12];
      char text[32];
      std::snprintf(text, sizeof(text), "%x.%x", f.fileVersionMS, f.fileVersionLS);
      info->version = text;

      if (!fs.VerQueryValue(block, "\\VarFileInfo\\Translation", &value)) return kSvFileOk;
      char key[16] = "040904b0";
      if (value.size() >= 4) {
        uint32_t entry = 0;
        std::memcpy(&entry, value.data(), 4);
        std::snprintf(key, sizeof(key), "%04x%04x", entry & 0xFFFFu, entry >> 16);
      }
      const std::string prefix = std::string("\\StringFileInfo\\") + key + "\\";
      auto asText = [](const std::vector<uint8_t>& bytes) {
        std::string s(bytes.begin(), bytes.end());
        const size_t nul = s.find('\0');
        if (nul != std::string::npos) s.resize(nul);
        return s;
      };
      if (!fs.VerQueryValue(block, prefix + "FileVersion", &value)) return kSvFileOk;
      info->version = asText(value);
      if (!fs.VerQueryValue(block, prefix + "FileDescription", &value)) return kSvFileOk;
      info->description = asText(value);
      return kSvFileOk;
    }
  }
  return SvGetFileTimes(path, &info->file);
}

uint32_t SvCopyFile(CSvKit* kit, const CSvFile* file, uint32_t flags, CSvCopyStatusPage* page) {
  std::string source = SvGetFilePath(file, 0);
  const std::string destination = SvGetFilePath(file, 1);
  if (source.empty() || destination.empty()) return kSvFileMissing;

  if (page != nullptr && page->GetTotalBytes() != 0)
    page->SetCopyStatus(LocationPath(file->GetSourceLocation()), file->GetSourceName(),
                        LocationPath(file->GetDestLocation()), file->GetDestName());

  svp::IFileSystem& fs = svp::Fs();
  while (fs.AccessExists(source) != 0) {
    if ((flags & (kSvCopyRequired | kSvCopyReplaceAtRestart)) == 0) return kSvFileNotNow;
    if (!BrowseForSource(&source)) return kSvFileNotNow;
  }
  if (kit != nullptr && kit->IsCancelled()) return kSvFileCancelled;

  if ((flags & kSvCopyNoVersionCheck) == 0 && !SvIsNoToAllChosen() &&
      SvCheckVersionConflict(source, destination) == kSvVersionKeep)
    return kSvFileOk;

  if (fs.CopyFile(source, destination, false)) {
    TransferAttributesAndTimes(source, destination);
    return kSvFileOk;
  }
  if (kit != nullptr && kit->IsCancelled()) return kSvFileCancelled;
  if ((flags & kSvCopyReplaceAtRestart) == 0)
    return (flags & kSvCopyRequired) != 0 ? kSvFileNotNow : kSvFileOk;

  const std::string temporary = RestartTemporaryName(destination);
  if (!fs.CopyFile(source, temporary, false))
    return kit != nullptr && kit->IsCancelled() ? kSvFileCancelled : kSvFileNotNow;
  TransferAttributesAndTimes(source, temporary);
  // Deletion first: the delayed rename does not replace an existing file.
  fs.MoveFileEx(destination, nullptr, svp::kMoveDelayUntilReboot);
  fs.MoveFileEx(temporary, &destination, svp::kMoveDelayUntilReboot);
  return kSvFileOk;
}
