#include "platform/memory/memory_dialogs.h"

namespace svp {

int MemoryDialogs::ShowVersionConflict(const VersionConflictTexts& texts) {
  shown_.push_back(texts);
  if (answers_.empty()) {
    ++unanswered_;
    return -1;
  }
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

bool MemoryDialogs::FileTimeToLocalTime(const FileTime& utc, SystemTime* local) {
  if (localTimeFails_) return false;
  const uint64_t ticks = (static_cast<uint64_t>(utc.high) << 32) | utc.low;
  const int64_t seconds =
      static_cast<int64_t>(ticks / 10000000ull) + static_cast<int64_t>(offsetMinutes_) * 60;
  if (seconds < 0) return false;
  int64_t days = seconds / 86400;
  const int64_t secondOfDay = seconds % 86400;
  local->dayOfWeek = static_cast<uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
  // Civil date from days since 1601-01-01 (shifted to 1970 for the formula).
  days -= 134774;
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  local->year = static_cast<uint16_t>(yoe + era * 400 + (month <= 2));
  local->month = static_cast<uint16_t>(month);
  local->day = static_cast<uint16_t>(day);
  local->hour = static_cast<uint16_t>(secondOfDay / 3600);
  local->minute = static_cast<uint16_t>(secondOfDay / 60 % 60);
  local->second = static_cast<uint16_t>(secondOfDay % 60);
  local->milliseconds = static_cast<uint16_t>(ticks / 10000 % 1000);
  return true;
}

}  // namespace svp
