// UIDRIVER.EXE: does what a person at the screen does, for test scripts that
// run KITPURGE.EXE under Wine.  Run it in the same prefix as the program.
//
// Every command prints machine-readable lines on standard output and ends
// with exit code 0 (done), 1 (timed out or not found) or 2 (bad usage).
// Timeouts are in milliseconds (default 20000).  Texts are printed escaped:
// backslash as \\, CR as \r, LF as \n, tab as \t, other control bytes as \xHH.
//
//   list                                 visible top-level windows:
//                                          window <hwnd> <pid> <class> <title>
//   wait-window <title> [timeout]        waits for a visible window; a title
//                                        ending in * matches as a prefix;
//                                        prints its window line
//   wait-gone <title> [timeout]          waits until no such window is shown
//   box [timeout] [--caption C] [--answer B]
//                                        waits for a message box (caption
//                                        "SOLVANE 32 for Windows NT Setup"
//                                        unless --caption) and prints
//                                          box <hwnd> owner <hwnd> caption <text>
//                                          text <text>
//                                          icon stop|question|exclamation|information|none|unknown
//                                          button <id> <text>    (one per button)
//                                        with --answer, then answers it as below;
//                                        with --shown, prints only the box line
//                                        as soon as the box exists (for timing)
//   answer <button> [timeout] [--caption C]
//                                        waits for the box, presses the button
//                                        (yes no ok cancel abort retry ignore
//                                        or a number) and waits until the box
//                                        is gone: answered <id>
//   press <back|next|finish|cancel> [timeout] [--force]
//                                        waits until the wizard's button is
//                                        shown and enabled (not with --force)
//                                        and presses it: pressed <button>
//   page [timeout]                       the wizard's current page:
//                                          page <template-id> <index> <hwnd>
//   wait-page <template-id> [timeout]    waits until that page is current
//   text <control-id> [--window T]       a control's text:  text <text>
//   settext <control-id> <text> [--window T]
//   state <control-id> [--window T]      state enabled=<0|1> visible=<0|1> checked=<0|1|2>
//   click <control-id> [--window T]      clicks a button (or sends its command)
//   pick <list-id> <item> [--window T]   double-clicks the list box's item of
//                                        that text (case ignored): picked <text>
//                                        Controls are looked up on the wizard's
//                                        current page, then on the sheet, or in
//                                        the window titled T.
//   wait-exit <pid|exe-name> [timeout]   waits until the process has ended
//   kill <pid|exe-name> [timeout]        ends the process with TerminateProcess
//                                        and waits until it has ended:
//                                          killed <pid|exe-name> <pid>
//   cancel-dialog <title> [timeout]      closes a dialog with Cancel
//   file-dialog <title> <path> [timeout] types a name into a file-open dialog
//                                        and presses OK
//   controls <title> [timeout]           waits for the window and lists its
//                                        visible controls, in creation order:
//                                          control <id> <class> <text>
//   screenshot <file.bmp>                the whole screen as a bitmap file
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kBoxCaption[] = "SOLVANE 32 for Windows NT Setup";
constexpr DWORD kDefaultTimeout = 20000;
constexpr DWORD kPoll = 50;

// Property-sheet messages and the wizard's button identifiers.
constexpr UINT kPsmPressButton = WM_USER + 113;
constexpr UINT kPsmGetCurrentPageHwnd = WM_USER + 118;
constexpr UINT kPsmHwndToIndex = WM_USER + 129;
constexpr UINT kPsmIndexToId = WM_USER + 134;
constexpr int kIdBack = 0x3023;
constexpr int kIdNext = 0x3024;
constexpr int kIdFinish = 0x3025;

// A message box's text and icon controls.
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconId = 1088;

struct Usage {};

std::string Escape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

std::string HandleText(HWND window) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  return buffer;
}

void Print(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// A window's text, asked of its owner thread (which marshals WM_GETTEXT
// between processes); falls back to the text the system keeps.
std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    std::vector<char> buffer(length + 2, '\0');
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                            SMTO_ABORTIFHUNG, 2000, &copied)) {
      return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
    }
  }
  char buffer[1024] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

int ControlId(HWND window) { return static_cast<int>(GetWindowLongPtrA(window, GWLP_ID) & 0xFFFF); }

BOOL CALLBACK AddVisible(HWND window, LPARAM list) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

BOOL CALLBACK AddAny(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopWindows() {
  std::vector<HWND> windows;
  EnumWindows(AddVisible, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, AddAny, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND ChildById(HWND parent, int id) {
  for (HWND child : Children(parent))
    if (ControlId(child) == id) return child;
  return nullptr;
}

bool TitleMatches(const std::string& title, const std::string& pattern) {
  if (!pattern.empty() && pattern.back() == '*')
    return title.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
  return title == pattern;
}

std::string WindowLine(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, " %lu ", static_cast<unsigned long>(pid));
  char title[1024] = {};
  GetWindowTextA(window, title, sizeof title);
  return "window " + HandleText(window) + buffer + ClassOf(window) + " " + Escape(title);
}

// Polls until found() gives a window or the time is up.
template <typename F>
HWND WaitFor(DWORD timeout, F found) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND window = found();
    if (window != nullptr) return window;
    if (GetTickCount() - start >= timeout) return nullptr;
    Sleep(kPoll);
  }
}

HWND FindTitled(const std::string& title) {
  for (HWND window : TopWindows()) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    if (TitleMatches(text, title)) return window;
  }
  return nullptr;
}

HWND FindBox(const std::string& caption) {
  for (HWND window : TopWindows()) {
    if (ClassOf(window) != "#32770") continue;
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    if (caption != text) continue;
    if (ChildById(window, kBoxTextId) != nullptr) return window;
  }
  return nullptr;
}

HWND FindSheet() {
  for (HWND window : TopWindows()) {
    if (ClassOf(window) != "#32770") continue;
    if (ChildById(window, kIdNext) != nullptr || ChildById(window, kIdFinish) != nullptr)
      return window;
  }
  return nullptr;
}

bool WaitGone(HWND window, DWORD timeout) {
  return WaitFor(timeout, [&]() -> HWND { return IsWindow(window) ? nullptr : window; }) != nullptr;
}

DWORD ParseTimeout(const std::vector<std::string>& args, size_t index) {
  if (index >= args.size()) return kDefaultTimeout;
  char* end = nullptr;
  unsigned long value = std::strtoul(args[index].c_str(), &end, 10);
  if (end == args[index].c_str() || *end != '\0') throw Usage();
  return static_cast<DWORD>(value);
}

int ParseNumber(const std::string& text) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 0);
  if (end == text.c_str() || *end != '\0') throw Usage();
  return static_cast<int>(value);
}

int ParseButton(const std::string& name) {
  static const struct {
    const char* name;
    int id;
  } kButtons[] = {{"ok", IDOK},         {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
                  {"ignore", IDIGNORE}, {"yes", IDYES},       {"no", IDNO}};
  for (const auto& button : kButtons)
    if (_stricmp(name.c_str(), button.name) == 0) return button.id;
  return ParseNumber(name);
}

// Takes "--name value" out of the arguments.
bool TakeOption(std::vector<std::string>& args, const char* name, std::string* value) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != name) continue;
    if (value == nullptr) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
    if (i + 1 >= args.size()) throw Usage();
    *value = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// The icon of a message box: windows of another process cannot be asked for
// their icon, but the screen shows it.  The control's pixels are compared with
// each standard icon drawn on the same background.
std::vector<uint32_t> Capture(HDC source, int x, int y, int width, int height) {
  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<uint32_t> pixels;
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    pixels.assign(p, p + static_cast<size_t>(width) * static_cast<size_t>(height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  for (auto& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

std::vector<uint32_t> DrawnIcon(HICON icon, int width, int height, uint32_t background) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
  RECT all = {0, 0, width, height};
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
  std::vector<uint32_t> pixels = Capture(memory, 0, 0, width, height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::string BoxIcon(HWND box) {
  HWND control = ChildById(box, kBoxIconId);
  if (control == nullptr || !IsWindowVisible(control)) return "none";
  Sleep(300);  // let the box paint
  RECT rect;
  GetWindowRect(control, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || width > 256 || height > 256) return "unknown";
  HDC screen = GetDC(nullptr);
  std::vector<uint32_t> shown = Capture(screen, rect.left, rect.top, width, height);
  ReleaseDC(nullptr, screen);
  if (shown.empty()) return "unknown";
  static const struct {
    LPCSTR id;
    const char* name;
  } kIcons[] = {{IDI_HAND, "stop"},
                {IDI_QUESTION, "question"},
                {IDI_EXCLAMATION, "exclamation"},
                {IDI_ASTERISK, "information"}};
  const char* best = "unknown";
  size_t bestDiff = shown.size();
  for (const auto& candidate : kIcons) {
    HICON icon = LoadIconA(nullptr, candidate.id);
    std::vector<uint32_t> drawn = DrawnIcon(icon, width, height, shown[0]);
    if (drawn.size() != shown.size()) continue;
    size_t diff = 0;
    for (size_t i = 0; i < shown.size(); ++i) diff += shown[i] != drawn[i];
    if (diff < bestDiff) {
      bestDiff = diff;
      best = candidate.name;
    }
  }
  // Every icon differs from the others in far more than a tenth of its pixels.
  return bestDiff * 10 <= shown.size() ? best : "unknown";
}

// ---------------------------------------------------------------------------
// Commands.

int List() {
  for (HWND window : TopWindows()) Print(WindowLine(window));
  return 0;
}

int WaitWindow(const std::vector<std::string>& args) {
  if (args.empty()) throw Usage();
  DWORD timeout = ParseTimeout(args, 1);
  HWND window = WaitFor(timeout, [&] { return FindTitled(args[0]); });
  if (window == nullptr) {
    Print("timeout wait-window " + Escape(args[0]));
    return 1;
  }
  Print(WindowLine(window));
  return 0;
}

int WaitWindowGone(const std::vector<std::string>& args) {
  if (args.empty()) throw Usage();
  DWORD timeout = ParseTimeout(args, 1);
  HWND none = reinterpret_cast<HWND>(1);
  HWND result = WaitFor(timeout, [&]() -> HWND { return FindTitled(args[0]) ? nullptr : none; });
  if (result == nullptr) {
    Print("timeout wait-gone " + Escape(args[0]));
    return 1;
  }
  Print("gone " + Escape(args[0]));
  return 0;
}

int Answer(HWND box, int id, DWORD timeout) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  if (!WaitGone(box, timeout)) {
    Print("timeout answer " + std::to_string(id));
    return 1;
  }
  Print("answered " + std::to_string(id));
  return 0;
}

int Box(std::vector<std::string> args) {
  std::string caption = kBoxCaption, answer;
  TakeOption(args, "--caption", &caption);
  bool answering = TakeOption(args, "--answer", &answer);
  const bool shownOnly = TakeOption(args, "--shown", nullptr);
  DWORD timeout = ParseTimeout(args, 0);
  HWND box = WaitFor(timeout, [&] { return FindBox(caption); });
  if (box == nullptr) {
    Print("timeout box");
    return 1;
  }
  char title[1024] = {};
  GetWindowTextA(box, title, sizeof title);
  Print("box " + HandleText(box) + " owner " + HandleText(GetWindow(box, GW_OWNER)) + " caption " +
        Escape(title));
  if (shownOnly) return 0;
  Print("text " + Escape(TextOf(ChildById(box, kBoxTextId))));
  Print("icon " + BoxIcon(box));
  for (HWND child : Children(box)) {
    if (ClassOf(child) != "Button" || !IsWindowVisible(child)) continue;
    Print("button " + std::to_string(ControlId(child)) + " " + Escape(TextOf(child)));
  }
  if (answering) return Answer(box, ParseButton(answer), timeout);
  return 0;
}

int AnswerCommand(std::vector<std::string> args) {
  std::string caption = kBoxCaption;
  TakeOption(args, "--caption", &caption);
  if (args.empty()) throw Usage();
  int id = ParseButton(args[0]);
  DWORD timeout = ParseTimeout(args, 1);
  HWND box = WaitFor(timeout, [&] { return FindBox(caption); });
  if (box == nullptr) {
    Print("timeout box");
    return 1;
  }
  return Answer(box, id, timeout);
}

int Press(std::vector<std::string> args) {
  bool force = TakeOption(args, "--force", nullptr);
  if (args.empty()) throw Usage();
  struct Button {
    const char* name;
    WPARAM button;
    int control;
  };
  static const Button kPress[] = {
      {"back", 0, kIdBack}, {"next", 1, kIdNext}, {"finish", 2, kIdFinish}, {"cancel", 5, IDCANCEL}};
  const Button* chosen = nullptr;
  for (const auto& p : kPress)
    if (args[0] == p.name) chosen = &p;
  if (chosen == nullptr) throw Usage();
  DWORD timeout = ParseTimeout(args, 1);
  HWND sheet = WaitFor(timeout, [&]() -> HWND {
    HWND found = FindSheet();
    if (found == nullptr || force) return found;
    HWND button = ChildById(found, chosen->control);
    return button && IsWindowVisible(button) && IsWindowEnabled(button) ? found : nullptr;
  });
  if (sheet == nullptr) {
    Print(std::string("timeout press ") + chosen->name);
    return 1;
  }
  PostMessageA(sheet, kPsmPressButton, chosen->button, 0);
  Print(std::string("pressed ") + chosen->name);
  return 0;
}

struct PageInfo {
  HWND page = nullptr;
  long index = -1;
  long id = -1;
};

bool CurrentPage(HWND sheet, PageInfo* info) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(sheet, kPsmGetCurrentPageHwnd, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) ||
      result == 0)
    return false;
  info->page = reinterpret_cast<HWND>(result);
  if (SendMessageTimeoutA(sheet, kPsmHwndToIndex, result, 0, SMTO_ABORTIFHUNG, 2000, &result))
    info->index = static_cast<long>(static_cast<LONG_PTR>(result));
  if (info->index >= 0 &&
      SendMessageTimeoutA(sheet, kPsmIndexToId, static_cast<WPARAM>(info->index), 0, SMTO_ABORTIFHUNG,
                          2000, &result))
    info->id = static_cast<long>(static_cast<LONG_PTR>(result));
  return true;
}

int Page(const std::vector<std::string>& args, bool waiting) {
  long wanted = -1;
  if (waiting) {
    if (args.empty()) throw Usage();
    wanted = ParseNumber(args[0]);
  }
  DWORD timeout = ParseTimeout(args, waiting ? 1 : 0);
  PageInfo info;
  HWND sheet = WaitFor(timeout, [&]() -> HWND {
    HWND found = FindSheet();
    if (found == nullptr || !CurrentPage(found, &info)) return nullptr;
    return !waiting || info.id == wanted ? found : nullptr;
  });
  if (sheet == nullptr) {
    Print(waiting ? "timeout wait-page " + std::to_string(wanted) : std::string("timeout page"));
    return 1;
  }
  Print("page " + std::to_string(info.id) + " " + std::to_string(info.index) + " " +
        HandleText(info.page));
  return 0;
}

// The control a command names: in the window given with --window, else on
// the wizard's current page, then anywhere on the sheet.
HWND FindControl(std::vector<std::string>& args, int id) {
  std::string title;
  if (TakeOption(args, "--window", &title)) {
    HWND window = FindTitled(title);
    return window ? (ControlId(window) == id ? window : ChildById(window, id)) : nullptr;
  }
  HWND sheet = FindSheet();
  if (sheet == nullptr) return nullptr;
  PageInfo info;
  if (CurrentPage(sheet, &info)) {
    HWND control = ChildById(info.page, id);
    if (control != nullptr) return control;
  }
  return ChildById(sheet, id);
}

// The item text of a list box of another process.  Asked in UTF-16: Wine
// hands the "A" form of the text of a Unicode list box over unconverted.
std::string ListItem(HWND list, int index) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, index, 0, SMTO_ABORTIFHUNG, 2000, &length) ||
      static_cast<LRESULT>(length) == LB_ERR)
    return std::string();
  std::vector<wchar_t> buffer(length + 2, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  char text[1024] = {};
  WideCharToMultiByte(CP_ACP, 0, buffer.data(), -1, text, sizeof text - 1, nullptr, nullptr);
  return text;
}

// Selects the item and tells the dialog it was double-clicked, as the list
// box does for a double-click; returns once the dialog has acted on it.
int Pick(HWND list, int id, const std::string& wanted) {
  DWORD_PTR count = 0;
  SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
  for (int i = 0; i < static_cast<int>(count); ++i) {
    const std::string item = ListItem(list, i);
    if (_stricmp(item.c_str(), wanted.c_str()) != 0) continue;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(list, LB_SETCURSEL, i, 0, SMTO_ABORTIFHUNG, 2000, &result);
    SendMessageTimeoutA(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK),
                        reinterpret_cast<LPARAM>(list), SMTO_ABORTIFHUNG, 5000, &result);
    Print("picked " + Escape(item));
    return 0;
  }
  for (int i = 0; i < static_cast<int>(count); ++i) Print("item " + Escape(ListItem(list, i)));
  Print("notfound " + Escape(wanted));
  return 1;
}

int ControlCommand(const std::string& command, std::vector<std::string> args) {
  std::string window;
  bool named = TakeOption(args, "--window", &window);
  if (args.empty()) throw Usage();
  int id = ParseNumber(args[0]);
  std::vector<std::string> lookup;
  if (named) lookup = {"--window", window};
  HWND control = FindControl(lookup, id);
  if (control == nullptr) {
    Print("notfound " + std::to_string(id));
    return 1;
  }
  if (command == "text") {
    Print("text " + Escape(TextOf(control)));
  } else if (command == "pick") {
    if (args.size() < 2) throw Usage();
    return Pick(control, id, args[1]);
  } else if (command == "settext") {
    if (args.size() < 2) throw Usage();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
    Print("settext " + std::to_string(id));
  } else if (command == "state") {
    DWORD_PTR checked = 0;
    if (ClassOf(control) == "Button")
      SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
    Print("state enabled=" + std::to_string(IsWindowEnabled(control) ? 1 : 0) +
          " visible=" + std::to_string(IsWindowVisible(control) ? 1 : 0) +
          " checked=" + std::to_string(static_cast<int>(checked)));
  } else {  // click
    if (ClassOf(control) == "Button") {
      PostMessageA(control, BM_CLICK, 0, 0);
    } else {
      PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control));
    }
    Print("clicked " + std::to_string(id));
  }
  return 0;
}

// The id of a running process named by id or by executable name (case
// ignored), 0 when none runs.
DWORD FindProcess(const std::string& which) {
  char* end = nullptr;
  unsigned long pid = std::strtoul(which.c_str(), &end, 10);
  bool byPid = end != which.c_str() && *end == '\0';
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32First(snapshot, &entry); more && found == 0;
       more = Process32Next(snapshot, &entry)) {
    const char* name = entry.szExeFile;
    const char* slash = std::strrchr(name, '\\');
    if (slash != nullptr) name = slash + 1;
    if (byPid ? entry.th32ProcessID == pid : _stricmp(name, which.c_str()) == 0)
      found = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return found;
}

bool ProcessRunning(const std::string& which) { return FindProcess(which) != 0; }

// Ends the process at once, as Task Manager's End Process does: no message,
// no clean-up of its own; the system closes its handles.
int Kill(const std::vector<std::string>& args) {
  if (args.empty()) throw Usage();
  DWORD timeout = ParseTimeout(args, 1);
  DWORD pid = FindProcess(args[0]);
  HANDLE process = pid != 0 ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : nullptr;
  if (process == nullptr) {
    Print("not-found " + Escape(args[0]));
    return 1;
  }
  const bool ended =
      TerminateProcess(process, 1) && WaitForSingleObject(process, timeout) == WAIT_OBJECT_0;
  CloseHandle(process);
  if (!ended) {
    Print("timeout kill " + Escape(args[0]));
    return 1;
  }
  Print("killed " + Escape(args[0]) + " " + std::to_string(pid));
  return 0;
}

int WaitExit(const std::vector<std::string>& args) {
  if (args.empty()) throw Usage();
  DWORD timeout = ParseTimeout(args, 1);
  HWND done = reinterpret_cast<HWND>(1);
  if (WaitFor(timeout, [&]() -> HWND { return ProcessRunning(args[0]) ? nullptr : done; }) == nullptr) {
    Print("timeout wait-exit " + Escape(args[0]));
    return 1;
  }
  Print("exited " + Escape(args[0]));
  return 0;
}

int CancelDialog(const std::vector<std::string>& args) {
  if (args.empty()) throw Usage();
  DWORD timeout = ParseTimeout(args, 1);
  HWND dialog = WaitFor(timeout, [&] { return FindTitled(args[0]); });
  if (dialog == nullptr) {
    Print("timeout cancel-dialog " + Escape(args[0]));
    return 1;
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  if (!WaitGone(dialog, timeout)) {
    Print("timeout cancel-dialog " + Escape(args[0]));
    return 1;
  }
  Print("cancelled " + Escape(args[0]));
  return 0;
}

int FileDialog(const std::vector<std::string>& args) {
  if (args.size() < 2) throw Usage();
  DWORD timeout = ParseTimeout(args, 2);
  HWND dialog = WaitFor(timeout, [&] { return FindTitled(args[0]); });
  if (dialog == nullptr) {
    Print("timeout file-dialog " + Escape(args[0]));
    return 1;
  }
  // The file-name field: an edit (1152) or, in the explorer-style dialog, the
  // edit inside the combo box 1148.
  HWND name = ChildById(dialog, 1152);
  if (name == nullptr || !IsWindowVisible(name)) {
    HWND combo = ChildById(dialog, 1148);
    if (combo != nullptr) {
      HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
      name = edit != nullptr ? edit : combo;
    }
  }
  if (name == nullptr) {
    Print("notfound file-name field");
    return 1;
  }
  DWORD_PTR result = 0;
  SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()), SMTO_ABORTIFHUNG,
                      5000, &result);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  if (!WaitGone(dialog, timeout)) {
    Print("timeout file-dialog " + Escape(args[0]));
    return 1;
  }
  Print("chosen " + Escape(args[1]));
  return 0;
}

int Controls(const std::vector<std::string>& args) {
  if (args.empty()) throw Usage();
  HWND window = WaitFor(ParseTimeout(args, 1), [&] { return FindTitled(args[0]); });
  if (window == nullptr) {
    Print("timeout controls " + Escape(args[0]));
    return 1;
  }
  Sleep(300);  // the dialog hides and shows controls while it initialises
  for (HWND child : Children(window)) {
    if (GetParent(child) != window || !IsWindowVisible(child)) continue;
    Print("control " + std::to_string(ControlId(child)) + " " + ClassOf(child) + " " +
          Escape(TextOf(child)));
  }
  return 0;
}

int Screenshot(const std::vector<std::string>& args) {
  if (args.empty()) throw Usage();
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  std::vector<uint32_t> pixels = Capture(screen, 0, 0, width, height);
  ReleaseDC(nullptr, screen);
  if (pixels.empty()) {
    Print("failed screenshot");
    return 1;
  }
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;
  std::memset(&file, 0, sizeof file);
  std::memset(&info, 0, sizeof info);
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = -height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  DWORD bytes = static_cast<DWORD>(pixels.size() * 4);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + bytes;
  FILE* out = std::fopen(args[0].c_str(), "wb");
  if (out == nullptr) {
    Print("failed screenshot " + Escape(args[0]));
    return 1;
  }
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(pixels.data(), 4, pixels.size(), out);
  std::fclose(out);
  Print("screenshot " + Escape(args[0]) + " " + std::to_string(width) + "x" + std::to_string(height));
  return 0;
}

int Run(const std::string& command, std::vector<std::string> args) {
  if (command == "list") return List();
  if (command == "wait-window") return WaitWindow(args);
  if (command == "wait-gone") return WaitWindowGone(args);
  if (command == "box") return Box(args);
  if (command == "answer") return AnswerCommand(args);
  if (command == "press") return Press(args);
  if (command == "page") return Page(args, false);
  if (command == "wait-page") return Page(args, true);
  if (command == "text" || command == "settext" || command == "state" || command == "click" ||
      command == "pick")
    return ControlCommand(command, args);
  if (command == "controls") return Controls(args);
  if (command == "wait-exit") return WaitExit(args);
  if (command == "kill") return Kill(args);
  if (command == "cancel-dialog") return CancelDialog(args);
  if (command == "file-dialog") return FileDialog(args);
  if (command == "screenshot") return Screenshot(args);
  throw Usage();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: UIDRIVER <command> [arguments]  (see the source for the commands)\n", stderr);
    return 2;
  }
  // Plain LF line ends, whatever reads the output.
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> args(argv + 2, argv + argc);
  try {
    return Run(argv[1], args);
  } catch (const Usage&) {
    std::fprintf(stderr, "UIDRIVER: bad arguments for '%s'\n", argv[1]);
    return 2;
  }
}
