#include "platform/win32/win32_internal.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstddef>
#include <vector>

#undef LoadBitmap
#undef IsDialogMessage

#include "platform/win32/win32_sheet.h"

namespace svp {

namespace {

UINT g_finishMessage = 0;

// The sheet being created and the frame it is to be attached to: the hook
// below attaches the first top-level dialog window created on this thread.
ISheetFrame* g_pendingFrame = nullptr;
HWND g_sheet = nullptr;
ISheetFrame* g_frame = nullptr;
WNDPROC g_sheetProc = nullptr;
HHOOK g_hook = nullptr;

// The core's page and header records carry the sizes of these structures.
static_assert(sizeof(PROPSHEETPAGEA_V2) == 48, "the page record with header texts");
static_assert(sizeof(PROPSHEETHEADERA) == 52 &&
                  offsetof(PROPSHEETHEADERA, pfnCallback) + sizeof(PFNPROPSHEETCALLBACK) == 40,
              "the full and the version-1 sheet header");

HWND ToWindow(WindowHandle window) { return reinterpret_cast<HWND>(window); }

ISheetPage* PageOf(HWND window) {
  return reinterpret_cast<ISheetPage*>(::GetWindowLongPtrA(window, DWLP_USER));
}

// comctl32's DllGetVersion record (20 bytes).
struct DllVersionInfo {
  DWORD cbSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformID;
};
using DllGetVersionFn = HRESULT(CALLBACK*)(DllVersionInfo*);

LRESULT CALLBACK SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = g_sheetProc;
  if (message == WM_NCDESTROY && window == g_sheet) {
    ISheetFrame* frame = g_frame;
    g_sheet = nullptr;
    g_frame = nullptr;
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    Win32SetMainWindow(nullptr);
    if (frame != nullptr) frame->SheetDestroyed();
  }
  return ::CallWindowProcA(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_pendingFrame != nullptr) {
    auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
    HWND window = reinterpret_cast<HWND>(wParam);
    if ((create->lpcs->style & WS_CHILD) == 0) {
      ISheetFrame* frame = g_pendingFrame;
      g_pendingFrame = nullptr;
      g_sheet = window;
      g_frame = frame;
      g_sheetProc = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetProc)));
      Win32SetMainWindow(window);
      frame->SheetAttached(reinterpret_cast<WindowHandle>(window));
    }
  }
  return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

// Stretches the page's panel bitmap over the place of its (invisible) panel
// control.
void PaintPanel(HWND window, ISheetPage* page) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  uint32_t id = page != nullptr ? page->PanelControlId() : 0;
  HWND control = id != 0 ? ::GetDlgItem(window, static_cast<int>(id)) : nullptr;
  HBITMAP bitmap = page != nullptr ? reinterpret_cast<HBITMAP>(page->PanelBitmap()) : nullptr;
  if (control != nullptr && bitmap != nullptr) {
    RECT client;
    ::GetClientRect(control, &client);
    RECT place;
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    BITMAP info;
    ::GetObjectA(bitmap, sizeof info, &info);
    ::StretchBlt(dc, place.left, place.top, client.right, client.bottom, memory, 0, 0,
                 info.bmWidth, info.bmHeight, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
  }
  ::EndPaint(window, &paint);
}

// The dialog procedure of every page.  WM_INITDIALOG attaches the page object
// named by the page record's application value; from then on the page gets
// the window's messages.
INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* record = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
    auto* page = reinterpret_cast<ISheetPage*>(record->lParam);
    ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
    return page->PageInitDialog(reinterpret_cast<WindowHandle>(window)) ? TRUE : FALSE;
  }
  ISheetPage* page = PageOf(window);
  if (page == nullptr) return FALSE;
  switch (message) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      int code = static_cast<int>(header->code);
      if (code > kPsnSetActive || code < kPsnQueryCancel) return FALSE;
      LRESULT result = page->PageNotify(static_cast<uint32_t>(header->idFrom), code);
      ::SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_COMMAND:
      return page->PageCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_PAINT:
      PaintPanel(window, page);
      return TRUE;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(window, DWLP_USER, 0);
      page->PageWindowDestroyed();
      return FALSE;
    default:
      break;
  }
  if (message == g_finishMessage && g_finishMessage != 0) {
    ::SetWindowLongPtrA(window, DWLP_MSGRESULT, page->PageFinishMessage());
    return TRUE;
  }
  return FALSE;
}

}  // namespace

Win32SheetHost::Win32SheetHost() {
  if (g_finishMessage == 0) g_finishMessage = ::RegisterWindowMessageA("SVWIZARD_FINISH");
}

Win32SheetHost::~Win32SheetHost() = default;

void Win32SheetHost::InitCommonControls() { ::InitCommonControls(); }

uint32_t Win32SheetHost::GetCommonControlsVersion() {
  HMODULE library = ::LoadLibraryA("comctl32.dll");
  if (library == nullptr) return 0;
  uint32_t version = 0;
  auto get = reinterpret_cast<DllGetVersionFn>(
      reinterpret_cast<void*>(::GetProcAddress(library, "DllGetVersion")));
  if (get != nullptr) {
    DllVersionInfo info = {};
    info.cbSize = sizeof info;
    if (SUCCEEDED(get(&info))) version = (info.dwMajorVersion << 16) + info.dwMinorVersion;
  }
  ::FreeLibrary(library);
  return version;
}

PageHandle Win32SheetHost::CreatePage(const SheetPageRecord& record) {
  PROPSHEETPAGEA page = {};
  page.dwSize = record.size;
  page.dwFlags = record.flags;
  page.hInstance = ::GetModuleHandleA(nullptr);
  page.pszTemplate = MAKEINTRESOURCEA(record.templateId);
  page.pfnDlgProc = PageProc;
  page.lParam = reinterpret_cast<LPARAM>(record.page);
  return reinterpret_cast<PageHandle>(::CreatePropertySheetPageA(&page));
}

WindowHandle Win32SheetHost::CreateSheet(const SheetHeader& header, ISheetFrame* frame) {
  std::vector<HPROPSHEETPAGE> pages;
  for (uint32_t i = 0; i < header.pageCount; ++i)
    pages.push_back(reinterpret_cast<HPROPSHEETPAGE>(header.pages[i]));

  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = header.size;
  sheet.dwFlags = header.flags;
  sheet.hwndParent = nullptr;
  sheet.hInstance = ::GetModuleHandleA(nullptr);
  sheet.pszCaption = header.caption.c_str();
  sheet.nPages = header.pageCount;
  sheet.nStartPage = header.startPage;
  sheet.phpage = pages.empty() ? nullptr : pages.data();

  g_pendingFrame = frame;
  g_hook = ::SetWindowsHookExA(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
  INT_PTR result = ::PropertySheetA(&sheet);
  if (g_hook != nullptr) ::UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  bool attached = g_pendingFrame == nullptr;
  g_pendingFrame = nullptr;
  HWND window = reinterpret_cast<HWND>(result);
  if (!attached || result == 0 || result == -1 || window != g_sheet) return 0;
  return reinterpret_cast<WindowHandle>(window);
}

void Win32SheetHost::ShowWindow(WindowHandle window, bool show) {
  ::ShowWindow(ToWindow(window), show ? SW_SHOW : SW_HIDE);
}

void Win32SheetHost::DestroyWindow(WindowHandle window) {
  if (window != 0) ::DestroyWindow(ToWindow(window));
}

void Win32SheetHost::AddPage(WindowHandle sheet, PageHandle page) {
  ::SendMessageA(ToWindow(sheet), PSM_ADDPAGE, 0, static_cast<LPARAM>(page));
}

void Win32SheetHost::RemovePage(WindowHandle sheet, PageHandle page) {
  ::SendMessageA(ToWindow(sheet), PSM_REMOVEPAGE, 0, static_cast<LPARAM>(page));
}

bool Win32SheetHost::SetCurSelId(WindowHandle sheet, uint16_t templateId) {
  return ::SendMessageA(ToWindow(sheet), PSM_SETCURSELID, 0, templateId) == 1;
}

void Win32SheetHost::SetWizButtons(WindowHandle sheet, uint32_t state, bool send) {
  if (send)
    ::SendMessageA(ToWindow(sheet), PSM_SETWIZBUTTONS, 0, state);
  else
    ::PostMessageA(ToWindow(sheet), PSM_SETWIZBUTTONS, 0, state);
}

void Win32SheetHost::PressButton(WindowHandle sheet, int button, bool send) {
  if (send)
    ::SendMessageA(ToWindow(sheet), PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
  else
    ::PostMessageA(ToWindow(sheet), PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

bool Win32SheetHost::IsDialogMessage(WindowHandle sheet, const void* message) {
  if (sheet == 0 || message == nullptr) return false;
  return ::SendMessageA(ToWindow(sheet), PSM_ISDIALOGMESSAGE, 0,
                        reinterpret_cast<LPARAM>(message)) != 0;
}

void Win32SheetHost::PostCommand(WindowHandle window, uint32_t id) {
  ::PostMessageA(ToWindow(window), WM_COMMAND, id, 0);
}

void Win32SheetHost::PostFinishMessage(WindowHandle page) {
  ::PostMessageA(ToWindow(page), g_finishMessage, 0, 0);
}

void Win32SheetHost::PostQuit(int exitCode) { ::PostQuitMessage(exitCode); }

void Win32SheetHost::SetItemText(WindowHandle window, uint32_t id, const std::string& text) {
  ::SetDlgItemTextA(ToWindow(window), static_cast<int>(id), text.c_str());
}

std::string Win32SheetHost::GetItemText(WindowHandle window, uint32_t id) {
  HWND control = ::GetDlgItem(ToWindow(window), static_cast<int>(id));
  if (control == nullptr) return std::string();
  int length = ::GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = ::GetWindowTextA(control, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

void Win32SheetHost::SetCheck(WindowHandle window, uint32_t id, bool checked) {
  ::CheckDlgButton(ToWindow(window), static_cast<int>(id), checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32SheetHost::GetCheck(WindowHandle window, uint32_t id) {
  return ::IsDlgButtonChecked(ToWindow(window), static_cast<int>(id)) == BST_CHECKED;
}

void Win32SheetHost::EnableItem(WindowHandle window, uint32_t id, bool enable) {
  HWND control = ::GetDlgItem(ToWindow(window), static_cast<int>(id));
  if (control != nullptr) ::EnableWindow(control, enable ? TRUE : FALSE);
}

void Win32SheetHost::UpdateWindow(WindowHandle window) { ::UpdateWindow(ToWindow(window)); }

BitmapHandle Win32SheetHost::LoadBitmap(uint32_t id) {
  return reinterpret_cast<BitmapHandle>(
      ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
}

void Win32SheetHost::DeleteBitmap(BitmapHandle bitmap) {
  if (bitmap != 0) ::DeleteObject(reinterpret_cast<HBITMAP>(bitmap));
}

}  // namespace svp
