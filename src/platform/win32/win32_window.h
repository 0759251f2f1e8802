// The program's main window as the Win32 platform knows it: owner of message
// boxes, of the file-open dialog and of the network setup library's windows.
#pragma once

#include <windows.h>

namespace svp {

// The wizard registers its sheet window here once it exists (and null when it
// is destroyed).  Until then boxes have no owner.
void Win32SetMainWindow(HWND window);
HWND Win32MainWindow();

}  // namespace svp
