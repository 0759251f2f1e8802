// Compiled by the build.windows_macros_* tests, which pass only when the
// platform header refuses it: <windows.h>'s name macros are still defined.
#ifdef SV_PROBE_sheet
#include "platform/win32/win32_api.h"
#include <windowsx.h>  // DeleteBitmap, a name win32_api.h does not undo
#include "platform/sheet.h"
#else
#include <windows.h>
#include "platform/platform.h"
#endif
