// The wizard's property sheet on the common controls: a modeless wizard
// sheet made with PropertySheetA, page windows whose dialog procedure hands
// notifications, commands and painting to the portable page objects.
#pragma once

// <windows.h> maps these names to their "A" forms; the interface uses the
// plain names.
#ifdef LoadBitmap
#undef LoadBitmap
#endif
#ifdef IsDialogMessage
#undef IsDialogMessage
#endif

#include "platform/sheet.h"

namespace svp {

class Win32SheetHost : public ISheetHost {
 public:
  // Registers the finish message once for the run.
  Win32SheetHost();
  ~Win32SheetHost() override;

  void InitCommonControls() override;
  uint32_t GetCommonControlsVersion() override;
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
};

}  // namespace svp
