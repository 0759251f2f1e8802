// A simulated modeless wizard property sheet for the native tests: page
// handles, lazily created page windows with their controls, the button state,
// the Cancel button, the posted-message queue and the quit message.  The
// sheet behaves like the platform's control: Next sends the wizard-next
// notification, then the kill-active notification to the old page and the
// set-active notification to the new one; Cancel asks the current page and
// resets every created page.  The memory platform owns one.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/sheet.h"

namespace svp {

class MemorySheetHost : public ISheetHost {
 public:
  MemorySheetHost();
  ~MemorySheetHost() override;

  // ISheetHost.
  void InitCommonControls() override { ++commonControlsInits_; }
  uint32_t GetCommonControlsVersion() override { return comctlVersion_; }
  PageHandle CreatePage(const SheetPageRecord& record) override;
  WindowHandle CreateSheet(const SheetHeader& header, ISheetFrame* frame) override;
  void ShowWindow(WindowHandle window, bool show) override;
  void DestroyWindow(WindowHandle window) override;
  void AddPage(WindowHandle sheet, PageHandle page) override;
  void RemovePage(WindowHandle sheet, PageHandle page) override;
  bool SetCurSelId(WindowHandle sheet, uint16_t templateId) override;
  void SetWizButtons(WindowHandle sheet, uint32_t state, bool send) override;
  void PressButton(WindowHandle sheet, int button, bool send) override;
  bool IsDialogMessage(WindowHandle sheet, const void* message) override;
  void PostCommand(WindowHandle window, uint32_t id) override;
  void PostFinishMessage(WindowHandle page) override;
  void PostQuit(int exitCode) override;
  void SetItemText(WindowHandle window, uint32_t id, const std::string& text) override;
  std::string GetItemText(WindowHandle window, uint32_t id) override;
  void SetCheck(WindowHandle window, uint32_t id, bool checked) override;
  bool GetCheck(WindowHandle window, uint32_t id) override;
  void EnableItem(WindowHandle window, uint32_t id, bool enable) override;
  void UpdateWindow(WindowHandle window) override;
  BitmapHandle LoadBitmap(uint32_t id) override;
  void DeleteBitmap(BitmapHandle bitmap) override;

  // Set-up.
  void SetCommonControlsVersion(uint32_t version) { comctlVersion_ = version; }
  void FailCreateSheet(bool fail) { failCreateSheet_ = fail; }
  // Bitmap resources that exist (by default only 105).
  void SetBitmapAvailable(uint32_t id, bool available);
  void SetDialogMessageAnswer(bool answer) { dialogMessageAnswer_ = answer; }

  // The user's clicks: each acts only when the button is there and enabled,
  // and answers whether it did.
  bool ClickNext();
  bool ClickBack();
  bool ClickFinish();
  bool ClickCancel();
  // A click on a button of the current page (a WM_COMMAND, notification 0).
  bool ClickPageButton(uint32_t id);
  // The user types into a control of the current page.
  void TypeText(uint32_t id, const std::string& text);

  // The message loop: dispatches posted messages in order until the queue
  // is empty; returns how many were dispatched.  The quit message is not
  // dispatched; QuitPosted tells whether it is waiting.
  int DispatchPosted();
  size_t PostedCount() const { return queue_.size(); }

  // Observations.
  WindowHandle Sheet() const { return sheet_; }
  bool IsOpen() const { return sheet_ != 0 && !ended_; }
  bool IsHidden() const { return hidden_; }
  // The sheet ended itself (Finish accepted or Cancel confirmed).
  bool IsEnded() const { return ended_; }
  uint32_t Buttons() const { return buttons_; }
  bool CancelEnabled() const;
  uint32_t HeaderSize() const { return headerSize_; }
  uint32_t HeaderFlags() const { return headerFlags_; }
  size_t SheetPageCount() const { return sheetPages_.size(); }
  // Template of the page shown, 0 when none.
  uint16_t CurrentTemplate() const;
  ISheetPage* CurrentPage() const;
  // Every page activation, in order (template identifiers).
  const std::vector<uint16_t>& Activations() const { return activations_; }
  // Every notification sent: (template, code).
  const std::vector<std::pair<uint16_t, int>>& Notifications() const { return notifications_; }
  void ClearNotifications() { notifications_.clear(); }
  bool PageWindowExists(uint16_t templateId) const;
  // Controls of a page's window (by template) or of the sheet (template 0).
  std::string ItemText(uint16_t templateId, uint32_t id) const;
  bool ItemChecked(uint16_t templateId, uint32_t id) const;
  bool QuitPosted() const { return quitPosted_; }
  int QuitCode() const { return quitCode_; }
  int QuitCount() const { return quitCount_; }
  int UpdateWindowCount() const { return updateWindows_; }
  int CommonControlsInits() const { return commonControlsInits_; }
  int DialogMessageCount() const { return dialogMessages_; }
  int LiveBitmaps() const { return static_cast<int>(liveBitmaps_.size()); }
  const std::vector<uint32_t>& LoadedBitmaps() const { return loadedBitmaps_; }
  // Results the sheet received for the last notification of each kind.
  intptr_t LastResult(int code) const;

 private:
  struct Control {
    std::string text;
    bool checked = false;
    bool enabled = true;
  };
  struct Window {
    PageHandle page = 0;  // 0 for the sheet
    std::map<uint32_t, Control> controls;
  };
  struct PageEntry {
    SheetPageRecord record;
    WindowHandle window = 0;
  };
  enum class Posted { kButtons, kPress, kCommand, kFinish };
  struct Message {
    Posted kind;
    WindowHandle window;
    uint32_t value;
  };

  PageEntry* Entry(PageHandle page);
  PageEntry* EntryOfWindow(WindowHandle window);
  Window* FindWindow(WindowHandle window);
  WindowHandle WindowOfTemplate(uint16_t templateId) const;
  intptr_t Notify(size_t index, int code);
  int IndexOfTemplate(uint16_t templateId) const;
  // Makes page `index` current; false when the old page refused to go.
  bool SetCurSel(int index);
  void DoNext();
  void DoBack();
  void DoFinish();
  void DoCancel();
  void Press(int button);
  void DestroyPageWindow(PageEntry* entry);

  uint32_t comctlVersion_ = 0x40047;
  bool failCreateSheet_ = false;
  bool dialogMessageAnswer_ = false;
  std::set<uint32_t> bitmapsAvailable_ = {105};

  std::vector<PageEntry> pages_;  // handle = index + 1
  std::map<WindowHandle, Window> windows_;
  WindowHandle nextWindow_ = 0x100;
  WindowHandle sheet_ = 0;
  ISheetFrame* frame_ = nullptr;
  std::vector<PageHandle> sheetPages_;
  int active_ = -1;
  bool hidden_ = false;
  bool ended_ = false;
  uint32_t buttons_ = 0;
  uint32_t headerSize_ = 0;
  uint32_t headerFlags_ = 0;
  std::deque<Message> queue_;
  bool quitPosted_ = false;
  int quitCode_ = -1;
  int quitCount_ = 0;
  int updateWindows_ = 0;
  int commonControlsInits_ = 0;
  int dialogMessages_ = 0;
  BitmapHandle nextBitmap_ = 0x5000;
  std::set<BitmapHandle> liveBitmaps_;
  std::vector<uint32_t> loadedBitmaps_;
  std::vector<uint16_t> activations_;
  std::vector<std::pair<uint16_t, int>> notifications_;
  std::map<int, intptr_t> lastResults_;
};

}  // namespace svp
