// Compiled by the build.windows_macros_* tests, which pass only when the
// platform header refuses it: <windows.h>'s name macros are still defined.
#ifdef SV_PROBE_sheet
#include "platform/win32/win32_api.h"  // undoes the names of platform.h only
#include "platform/sheet.h"
#else
#include <windows.h>
#include "platform/platform.h"
#endif
