#include "platform/win32/win32_api.h"

#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_window.h"

namespace svp {
namespace {

constexpr int kVersionConflictTemplate = 128;
enum : int {
  kIdcFileName = 1035,
  kIdcDescription = 1037,
  kIdcValue = 1018,
  kIdcLabel = 1040,
};

INT_PTR CALLBACK VersionConflictProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* texts = reinterpret_cast<const VersionConflictTexts*>(lParam);
      ::SetDlgItemTextA(dialog, kIdcDescription, texts->description.c_str());
      ::SetDlgItemTextA(dialog, kIdcFileName, texts->fileName.c_str());
      ::SetDlgItemTextA(dialog, kIdcValue, texts->value.c_str());
      ::SetDlgItemTextA(dialog, kIdcLabel, texts->label.c_str());
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == kIdVersionYes || id == kIdVersionNo || id == kIdVersionNoToAll || id == IDCANCEL) {
        ::EndDialog(dialog, id);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return FALSE;
}

}  // namespace

int Win32Dialogs::ShowVersionConflict(const VersionConflictTexts& texts) {
  const INT_PTR result = ::DialogBoxParamA(
      ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kVersionConflictTemplate), Win32MainWindow(),
      VersionConflictProc, reinterpret_cast<LPARAM>(&texts));
  return static_cast<int>(result);
}

bool Win32Dialogs::FileTimeToLocalTime(const FileTime& utc, SystemTime* local) {
  FILETIME in;
  in.dwLowDateTime = utc.low;
  in.dwHighDateTime = utc.high;
  FILETIME localTime;
  SYSTEMTIME fields;
  if (!::FileTimeToLocalFileTime(&in, &localTime) || !::FileTimeToSystemTime(&localTime, &fields))
    return false;
  local->year = fields.wYear;
  local->month = fields.wMonth;
  local->dayOfWeek = fields.wDayOfWeek;
  local->day = fields.wDay;
  local->hour = fields.wHour;
  local->minute = fields.wMinute;
  local->second = fields.wSecond;
  local->milliseconds = fields.wMilliseconds;
  return true;
}

}  // namespace svp
