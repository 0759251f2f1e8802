#include <cstring>

#include "platform/win32/win32_internal.h"

namespace svp {

namespace {
HWND g_mainWindow = nullptr;
}

void Win32SetMainWindow(HWND window) { g_mainWindow = window; }

HWND Win32MainWindow() { return g_mainWindow; }

namespace win32 {

HWND OwnerWindow() {
  // A destroyed main window would make the box fail instead of showing it.
  if (g_mainWindow != nullptr && ::IsWindow(g_mainWindow)) return g_mainWindow;
  return nullptr;
}

int UserInterface::MessageBox(const std::string& text, const std::string& caption, uint32_t type,
                              bool owned) {
  int answer = ::MessageBoxA(owned ? OwnerWindow() : nullptr, text.c_str(), caption.c_str(), type);
  return answer == 0 ? -1 : answer;
}

void UserInterface::BeginWaitCursor() {
  HCURSOR wait = ::LoadCursor(nullptr, IDC_WAIT);
  HCURSOR previous = ::SetCursor(wait);
  if (waitDepth_++ == 0) savedCursor_ = previous;
}

void UserInterface::EndWaitCursor() {
  if (waitDepth_ == 0) return;
  if (--waitDepth_ == 0) {
    ::SetCursor(savedCursor_ != nullptr ? savedCursor_ : ::LoadCursor(nullptr, IDC_ARROW));
    savedCursor_ = nullptr;
  }
}

bool UserInterface::GetOpenFileName(const OpenFileRequest& request, std::string* chosen) {
  // Filter pairs as the dialog wants them: each text NUL-ended, the list
  // ended by one more NUL.
  std::string filter;
  for (const auto& pair : request.filters) {
    filter += pair.first;
    filter += '\0';
    filter += pair.second;
    filter += '\0';
  }
  filter += '\0';

  char file[MAX_PATH] = {};
  std::string preset = request.fileName;
  // The directory chooser starts with the pattern that lists no files, so the
  // directory is what the user picks; the caller keeps the part before the
  // last backslash of the answer.
  if (request.directoryOnly && preset.empty()) preset = "*.";
  std::strncpy(file, preset.c_str(), MAX_PATH - 1);

  OPENFILENAMEA ofn;
  std::memset(&ofn, 0, sizeof ofn);
  // NT 4.0's common dialogs refuse the longer Windows 2000 record, which is
  // the one the headers declare whatever the API level.
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = request.owned ? OwnerWindow() : nullptr;
  ofn.hInstance = ::GetModuleHandleA(nullptr);
  ofn.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = request.filters.empty() ? 0 : 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = request.initialDirectory.empty() ? nullptr : request.initialDirectory.c_str();
  ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  // The named template is not used: the plain system dialog is shown.
  ofn.Flags = request.flags & ~static_cast<DWORD>(OFN_ENABLETEMPLATE | OFN_ENABLEHOOK |
                                                  OFN_ENABLETEMPLATEHANDLE);
  if (request.directoryOnly) ofn.Flags |= OFN_HIDEREADONLY | OFN_NOVALIDATE;

  if (!::GetOpenFileNameA(&ofn)) return false;
  if (chosen != nullptr) chosen->assign(file);
  return true;
}

void UserInterface::PumpMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to take: the quit belongs to the main message loop.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

}  // namespace win32
}  // namespace svp
