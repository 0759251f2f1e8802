// The program's own modal dialogs (other than the wizard's pages) and the
// time conversion their texts need.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace svp {

// Dialog 128 "Version Conflict": the texts of its four bound controls.
struct VersionConflictTexts {
  std::string description;  // control 1037
  std::string fileName;     // control 1035
  std::string value;        // control 1018
  std::string label;        // control 1040
};

// Button identifiers of dialog 128.
enum : int { kIdVersionYes = 6, kIdVersionNo = 7, kIdVersionNoToAll = 1039 };

// The platform's broken-down time record (SYSTEMTIME field order).
struct SystemTime {
  uint16_t year = 0;
  uint16_t month = 0;      // 1..12
  uint16_t dayOfWeek = 0;  // 0 = Sunday
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
};

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // Shows dialog 128 modally, owned by the main window; returns the
  // identifier of the button that ended it (6, 7, 1039), or another value
  // (2 for the close box) when it ended otherwise, -1 when it could not be
  // shown.
  virtual int ShowVersionConflict(const VersionConflictTexts& texts) = 0;
  // FileTimeToLocalFileTime followed by FileTimeToSystemTime.
  virtual bool FileTimeToLocalTime(const FileTime& utc, SystemTime* local) = 0;
};

inline IDialogs& Dialogs() { return *Get().dialogs; }

}  // namespace svp
