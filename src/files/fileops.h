// Operations on one file record of the kit: its paths, deletion, copy (now or
// at the next restart), and a file's size, time stamps and version resource.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

class CSvKit;
class CSvFile;
class CSvCopyStatusPage;

// Results of the file operations.
enum : uint32_t {
  kSvFileOk = 0,
  kSvFileCancelled = 1,  // the kit was cancelled during a copy
  kSvFileNoMemory = 2,   // no memory for a version resource
  kSvFileMissing = 5,    // empty path, or the file cannot be opened
  kSvFileNotNow = 14,    // not done now: a delete waits for the restart, a copy failed
};

// Copy flags of a file record.
enum : uint32_t {
  kSvCopyRequired = 0x0001,         // a missing source is searched for, a failure reported
  kSvCopyReplaceAtRestart = 0x0002, // a busy destination is replaced at the next restart
  kSvCopyNoVersionCheck = 0x4000,   // overwrite without comparing versions
};

// The platform's fixed file-information block, in its field order.
struct SvFixedFileInfo {
  uint32_t signature = 0;
  uint32_t structVersion = 0;
  uint32_t fileVersionMS = 0;  // major << 16 | minor
  uint32_t fileVersionLS = 0;  // build << 16 | revision
  uint32_t productVersionMS = 0;
  uint32_t productVersionLS = 0;
  uint32_t flagsMask = 0;
  uint32_t flags = 0;
  uint32_t os = 0;
  uint32_t fileType = 0;
  uint32_t fileSubtype = 0;
  uint32_t fileDateMS = 0;
  uint32_t fileDateLS = 0;
};

struct SvVersionInfo {
  SvFixedFileInfo fixed;
  svp::ByHandleFileInfo file;
  std::string description;
  std::string version;
};

// Side 0: source location and name; side 1: destination location and name.
std::string SvGetFilePath(const CSvFile* file, int side);

// Ok, Missing (empty path) or NotNow (left to the next restart; the failed
// delete's error stays the thread's last error).
uint32_t SvDeleteFile(const CSvFile* file);

// Ok, Cancelled, Missing (empty path) or NotNow.
uint32_t SvCopyFile(CSvKit* kit, const CSvFile* file, uint32_t flags, CSvCopyStatusPage* page);

// Low 32 bits of the source file's size; 0 when it cannot be opened.
uint32_t SvGetFileSize(const CSvFile* file);

// Ok, Missing (cannot be opened) or NotNow (information or time conversion
// failed).
uint32_t SvGetFileTimes(const std::string& path, svp::ByHandleFileInfo* info);

// Ok, NoMemory, Missing (no such file) or NotNow (from the time query).
uint32_t SvGetFileVersion(const std::string& path, SvVersionInfo* info);

// The MS-DOS date and time form (two-second resolution, years 1980 to 2107),
// converted without regard to time zones as the platform does.
bool SvFileTimeToDosDateTime(const svp::FileTime& time, uint16_t* dosDate, uint16_t* dosTime);
bool SvDosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, svp::FileTime* time);
