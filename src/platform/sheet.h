// The wizard's property sheet as the portable core sees it.
//
// The frame and its pages decide everything about navigation; the platform
// only owns the modeless wizard-style property sheet: it creates the sheet
// and the page windows, carries the property-sheet messages, and calls back
// into the page objects (ISheetPage) when the sheet notifies a page, a page
// control sends a command, or a message posted to a page arrives.
//
// Window, page and bitmap handles are opaque numbers (HWND, HPROPSHEETPAGE,
// HBITMAP on Windows); 0 means none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// As in platform.h: <windows.h>'s macros of these names would rename members.
#if defined(LoadBitmap) || defined(IsDialogMessage) || defined(DeleteBitmap)
#error "<windows.h> name macros are defined: undo them first, as platform/win32/win32_sheet.h does"
#endif

namespace svp {

using WindowHandle = uintptr_t;
using PageHandle = uintptr_t;
using BitmapHandle = uintptr_t;

// Property-sheet page notifications (the values the page dispatcher sees).
enum : int {
  kPsnSetActive = -200,
  kPsnKillActive = -201,
  kPsnApply = -202,
  kPsnReset = -203,
  kPsnHelp = -205,
  kPsnWizBack = -206,
  kPsnWizNext = -207,
  kPsnWizFinish = -208,
  kPsnQueryCancel = -209,
};

// What a page answers a notification: go on with it, stay on the page (a
// refused activation, leaving or move), or keep the sheet open (Cancel
// refused).  Next and Back may also answer the template id to move to.
constexpr intptr_t kPsnGoOn = 0, kPsnStay = -1, kPsnKeepOpen = 1;

// PSM_SETWIZBUTTONS state bits.
enum : uint32_t {
  kWizBack = 1,
  kWizNext = 2,
  kWizFinish = 4,
  kWizDisabledFinish = 8,
};

// PSM_PRESSBUTTON buttons.
enum : int { kPsbtnBack = 0, kPsbtnNext = 1, kPsbtnFinish = 2, kPsbtnCancel = 5 };

// Dialog command identifiers the sheet and the pages share.
enum : uint32_t { kIdcOk = 1, kIdcCancel = 2 };

// The comctl32 version from which the full 52-byte sheet header is accepted.
constexpr uint32_t kComCtlVersionFullHeader = 0x40047;  // 4.71

// What the platform's page procedure calls on the page object that a page
// record names.  Implemented by the wizard's page base class.
class ISheetPage {
 public:
  virtual ~ISheetPage() = default;
  // The page's window was created (the dialog's initialisation message):
  // attach it and run the page's own initialisation; the result is the
  // dialog's answer (true: let the platform set the focus).
  virtual bool PageInitDialog(WindowHandle window) = 0;
  // A property-sheet notification from control controlId; the result goes
  // back to the sheet as the message result.
  virtual intptr_t PageNotify(uint32_t controlId, int code) = 0;
  // WM_COMMAND from a control of the page; true when handled.
  virtual bool PageCommand(uint32_t id, uint32_t notifyCode) = 0;
  // The message posted by PostFinishMessage arrived.
  virtual intptr_t PageFinishMessage() = 0;
  // The page's window is being destroyed.
  virtual void PageWindowDestroyed() = 0;
  // The side-panel bitmap and the control whose place it is painted over;
  // 0 when the page has none.
  virtual BitmapHandle PanelBitmap() const = 0;
  virtual uint32_t PanelControlId() const = 0;
};

// What the platform tells the object that owns the sheet window.
class ISheetFrame {
 public:
  virtual ~ISheetFrame() = default;
  // The sheet window exists; called before its first page is activated.
  virtual void SheetAttached(WindowHandle sheet) = 0;
  // The sheet window is being destroyed.
  virtual void SheetDestroyed() = 0;
};

// The page record a page handle is made from.
struct SheetPageRecord {
  // 48: the record with the header title and subtitle.
  uint32_t size = 48;
  uint32_t flags = 0;
  uint16_t templateId = 0;
  ISheetPage* page = nullptr;  // the application value
};

// The sheet header.
struct SheetHeader {
  // 52 for the full header, 40 for the older, shorter one.
  uint32_t size = 52;
  uint32_t flags = 0x420;  // wizard | modeless
  std::string caption;
  uint32_t startPage = 0;
  const PageHandle* pages = nullptr;
  uint32_t pageCount = 0;
};

class ISheetHost {
 public:
  virtual ~ISheetHost() = default;

  // InitCommonControls.
  virtual void InitCommonControls() = 0;
  // comctl32's DllGetVersion as major * 65536 + minor; 0 when it cannot be read.
  virtual uint32_t GetCommonControlsVersion() = 0;

  // CreatePropertySheetPageA; 0 on failure.
  virtual PageHandle CreatePage(const SheetPageRecord& record) = 0;
  // PropertySheetA, modeless; the new sheet window or 0.  The frame is told
  // the window before the first page is activated.  The sheet becomes the
  // main window (owner of message boxes).
  virtual WindowHandle CreateSheet(const SheetHeader& header, ISheetFrame* frame) = 0;
  virtual void ShowWindow(WindowHandle window, bool show) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;

  // The property-sheet messages.
  virtual void AddPage(WindowHandle sheet, PageHandle page) = 0;      // PSM_ADDPAGE
  virtual void RemovePage(WindowHandle sheet, PageHandle page) = 0;   // PSM_REMOVEPAGE
  virtual bool SetCurSelId(WindowHandle sheet, uint16_t templateId) = 0;  // PSM_SETCURSELID
  virtual void SetWizButtons(WindowHandle sheet, uint32_t state, bool send) = 0;
  virtual void PressButton(WindowHandle sheet, int button, bool send) = 0;
  // PSM_ISDIALOGMESSAGE with the platform's message record.
  virtual bool IsDialogMessage(WindowHandle sheet, const void* message) = 0;

  // Posting.
  virtual void PostCommand(WindowHandle window, uint32_t id) = 0;  // WM_COMMAND id
  virtual void PostFinishMessage(WindowHandle page) = 0;  // "SVWIZARD_FINISH", 0, 0
  virtual void PostQuit(int exitCode) = 0;

  // Controls of a window (the sheet's buttons or a page's controls).
  virtual void SetItemText(WindowHandle window, uint32_t id, const std::string& text) = 0;
  virtual std::string GetItemText(WindowHandle window, uint32_t id) = 0;
  virtual void SetCheck(WindowHandle window, uint32_t id, bool checked) = 0;
  virtual bool GetCheck(WindowHandle window, uint32_t id) = 0;
  virtual void EnableItem(WindowHandle window, uint32_t id, bool enable) = 0;
  // UpdateWindow: repaint now.
  virtual void UpdateWindow(WindowHandle window) = 0;

  // Bitmap resources of the program.
  virtual BitmapHandle LoadBitmap(uint32_t id) = 0;  // 0 when missing
  virtual void DeleteBitmap(BitmapHandle bitmap) = 0;
};

inline ISheetHost& Sheets() { return *Get().sheets; }

}  // namespace svp
