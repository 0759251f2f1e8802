#include "files/verconfl.h"

#include <cstdio>

#include "files/fileops.h"
#include "log/svlog.h"
#include "platform/dialogs.h"
#include "res/stringids.h"

namespace {

bool IsOlder(uint32_t aHigh, uint32_t aLow, uint32_t bHigh, uint32_t bLow) {
  return aHigh < bHigh || (aHigh == bHigh && aLow < bLow);
}

}  // namespace

int CVerConfl::DoModal() {
  svp::VersionConflictTexts texts;
  texts.description = m_description;
  texts.fileName = m_fileName;
  texts.value = m_value;
  texts.label = m_label;
  return svp::Dialogs().ShowVersionConflict(texts);
}

bool SvIsNoToAllChosen() { return svp::Run().noToAll; }

std::string SvFormatFileDate(const svp::FileTime& time) {
  static const char* const kDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  svp::SystemTime local;
  if (!svp::Dialogs().FileTimeToLocalTime(time, &local) || local.month < 1 ||
      local.month > 12 || local.dayOfWeek > 6)
    return std::string();
  char text[64];
  std::snprintf(text, sizeof(text), "%02u:%02u:%02u, %s, %s %02u, %u", local.hour, local.minute,
                local.second, kDays[local.dayOfWeek], kMonths[local.month - 1], local.day,
                local.year);
  return text;
}

uint32_t SvCheckVersionConflict(const std::string& source, const std::string& destination) {
  SvVersionInfo from, to;
  if (SvGetFileVersion(source, &from) != kSvFileOk) return kSvVersionKeep;
  const uint32_t toResult = SvGetFileVersion(destination, &to);
  if (toResult != kSvFileOk && toResult != kSvFileMissing) return kSvVersionKeep;
  const bool destinationMissing = toResult == kSvFileMissing;

  CVerConfl dialog;
  if (from.fixed.fileVersionMS != 0 || from.fixed.fileVersionLS != 0) {
    if (!IsOlder(from.fixed.fileVersionMS, from.fixed.fileVersionLS, to.fixed.fileVersionMS,
                 to.fixed.fileVersionLS))
      return kSvVersionCopy;
    SvLoadString(kIdsYourVersion, &dialog.m_label);
    dialog.m_value = to.version;
  } else {
    // A missing destination is no conflict.  The times are read here for
    // both files: the version query reads them only for a file without a
    // version resource, and a destination that has one while the source has
    // none still has a date to compare with.
    if (destinationMissing) return kSvVersionCopy;
    if (SvGetFileTimes(source, &from.file) != kSvFileOk) return kSvVersionKeep;
    if (SvGetFileTimes(destination, &to.file) != kSvFileOk) return kSvVersionCopy;
    if (!IsOlder(from.file.lastWrite.high, from.file.lastWrite.low, to.file.lastWrite.high,
                 to.file.lastWrite.low))
      return kSvVersionCopy;
    SvLoadString(kIdsFileDate, &dialog.m_label);
    dialog.m_value = SvFormatFileDate(to.file.lastWrite);
  }

  dialog.m_description = to.description;
  dialog.m_fileName = destination;
  switch (dialog.DoModal()) {
    case svp::kIdVersionYes:
      return kSvVersionKeep;
    case svp::kIdVersionNoToAll:
      svp::Run().noToAll = true;
      return kSvVersionCopy;
    default:
      return kSvVersionCopy;
  }
}
