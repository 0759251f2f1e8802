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

namespace {

// The caption of a DIALOG template of the program's resources: the file
// dialog puts its own title over the template's unless it is given one.
std::string TemplateCaption(uint32_t templateId) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(templateId), RT_DIALOG);
  HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
  const auto* words = static_cast<const WORD*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
  if (words == nullptr || ::SizeofResource(module, resource) < sizeof(DLGTEMPLATE)) return {};
  // After the fixed part (style, extended style, count, x, y, cx, cy): the
  // menu and the class, each none (0), an ordinal (0xFFFF, n) or a text.
  const WORD* p = words + sizeof(DLGTEMPLATE) / sizeof(WORD);
  for (int field = 0; field < 2; ++field) {
    if (*p == 0xFFFF) {
      p += 2;
    } else {
      while (*p++ != 0) {
      }
    }
  }
  char caption[256] = {};
  ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(p), -1, caption,
                        sizeof caption - 1, nullptr, nullptr);
  return caption;
}

// OK in the directory chooser takes the directory the lists show, which the
// dialog keeps as the current directory, whatever the hidden file-name field
// holds (the dialog itself would take "*." for a pattern to list).
std::string g_chosenDirectory;

UINT_PTR CALLBACK DirectoryChooserHook(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || LOWORD(wParam) != IDOK) return 0;
  char directory[MAX_PATH] = {};
  const DWORD n = ::GetCurrentDirectoryA(MAX_PATH, directory);
  if (n == 0 || n >= MAX_PATH) return 0;
  g_chosenDirectory.assign(directory, n);
  ::EndDialog(dialog, IDOK);
  return 1;
}

}  // namespace

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
  ofn.hwndOwner = request.owner != 0 ? reinterpret_cast<HWND>(request.owner)
                  : request.owned    ? OwnerWindow()
                                     : nullptr;
  ofn.hInstance = ::GetModuleHandleA(nullptr);
  ofn.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = request.filters.empty() ? 0 : 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = request.initialDirectory.empty() ? nullptr : request.initialDirectory.c_str();
  ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  ofn.Flags = request.flags & ~static_cast<DWORD>(OFN_ENABLETEMPLATE | OFN_ENABLEHOOK |
                                                  OFN_ENABLETEMPLATEHANDLE | OFN_EXPLORER);
  if (request.directoryOnly) ofn.Flags |= OFN_HIDEREADONLY | OFN_NOVALIDATE;
  if (!request.directoryOnly || request.templateId == 0) {
    if (!::GetOpenFileNameA(&ofn)) return false;
    if (chosen != nullptr) chosen->assign(file);
    return true;
  }

  // The directory chooser: the program's template hides the file controls,
  // leaving the directory and drive lists.  The dialog moves the process's
  // current directory as the user goes; it is given back afterwards.
  const std::string caption =
      request.title.empty() ? TemplateCaption(request.templateId) : request.title;
  if (!caption.empty()) ofn.lpstrTitle = caption.c_str();
  ofn.Flags |= OFN_ENABLETEMPLATE | OFN_ENABLEHOOK;
  ofn.lpTemplateName = MAKEINTRESOURCEA(request.templateId);
  ofn.lpfnHook = DirectoryChooserHook;
  char current[MAX_PATH] = {};
  const DWORD saved = ::GetCurrentDirectoryA(MAX_PATH, current);
  g_chosenDirectory.clear();
  const BOOL ok = ::GetOpenFileNameA(&ofn);
  if (saved != 0 && saved < MAX_PATH) ::SetCurrentDirectoryA(current);
  if (!ok || g_chosenDirectory.empty()) return false;
  // A path inside the chosen directory, as the caller expects.
  std::string inside = g_chosenDirectory;
  if (inside.back() != '\\') inside += '\\';
  if (chosen != nullptr) *chosen = inside + preset;
  return true;
}

void UserInterface::PumpMessages() {
  // Looking at the queue is a request to the window system, which under Wine
  // costs about as much as deleting a file, and the file phase looks before
  // every file.  So a look less than kLookInterval after one that found the
  // queue empty is left out: what arrives meanwhile waits at most that long,
  // which no user sees.  After a look that found messages the next one is
  // always made.
  const DWORD now = ::GetTickCount();
  if (queueWasEmpty_ && now - lastLook_ < kLookInterval) return;
  lastLook_ = now;
  queueWasEmpty_ = true;
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    queueWasEmpty_ = false;
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
