// The base class of every wizard page: turns the sheet's notifications into
// calls on its own and the wizard's operations, carries the navigation hooks
// (IsRequired, Validate), paints the side-panel bitmap and starts Finish.
#pragma once

#include <cstdint>
#include <string>

#include "app/svobject.h"
#include "platform/sheet.h"

class CSvWizard;
class CSvMacroList;
class CSvSwitchList;
class CSvKit;

// Every page shows bitmap 105 over its panel control 7000.
enum : uint32_t { kSvPanelBitmapId = 105, kSvPanelControlId = 7000 };

// Results of Validate.
enum : int { kSvPageInvalid = 0, kSvPageValid = 1 };

// Finish's answer once the removal is posted: not kPsnGoOn, so the sheet
// stays on screen while the removal runs.
enum : intptr_t { kSvFinishPosted = 0xFFFF };

class CSvWizardPage : public CSvObject, public svp::ISheetPage {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvWizardPage)

  CSvWizardPage(uint16_t templateId, CSvWizard* wizard);
  ~CSvWizardPage() override;
  CSvWizardPage(const CSvWizardPage&) = delete;
  CSvWizardPage& operator=(const CSvWizardPage&) = delete;

  // The page's slots, in this order.
  // Valid when the page's input is acceptable.
  virtual int Validate(bool showMessages);
  virtual void GetName(std::string& out) const;
  virtual void SetName(const char* text);
  virtual bool IsRequired();
  virtual void OnAdded();
  virtual void OnHelp();
  // 0 lets the page go, non-zero keeps it.
  virtual intptr_t OnKillActive();
  virtual intptr_t OnSetActive();
  virtual intptr_t OnQueryCancel();
  virtual intptr_t OnWizardBack();
  virtual intptr_t OnFinishing();
  virtual intptr_t OnWizardNext();
  virtual uint32_t ApplyRequirements(CSvKit* kit);
  virtual intptr_t OnNotify(uint32_t controlId, int code);

  // Dialog behaviour the derived pages override.
  virtual bool OnInitDialog();
  // Moves fields into the controls (save false) or controls into fields.
  virtual void DoDataExchange(bool save);
  // A command of the page's controls; true when handled.
  virtual bool OnCommand(uint32_t id);
  // The dialog's own OK and Cancel (Enter and Escape inside the page).
  virtual void OnOK();
  virtual void OnCancel();

  // Data exchange over the page's window; false when there is no window.
  bool UpdateData(bool save);
  bool LoadPanelBitmap(uint32_t bitmapId, uint32_t controlId);

  CSvWizard* GetWizard() const { return wizard_; }
  uint16_t GetTemplateId() const { return templateId_; }
  bool IsCurrentPage() const;
  CSvMacroList* GetMacroList() const;
  CSvSwitchList* GetSwitchList() const;

  svp::WindowHandle GetSafeHwnd() const { return window_; }
  const svp::SheetPageRecord& GetPageRecord() const { return record_; }
  svp::PageHandle GetPageHandle() const { return handle_; }
  void SetPageHandle(svp::PageHandle handle) { handle_ = handle; }
  // The page window left the sheet (RemovePage).
  void DetachFromSheet();

  // svp::ISheetPage
  bool PageInitDialog(svp::WindowHandle window) override;
  intptr_t PageNotify(uint32_t controlId, int code) override;
  bool PageCommand(uint32_t id, uint32_t notifyCode) override;
  intptr_t PageFinishMessage() override;
  void PageWindowDestroyed() override;
  svp::BitmapHandle PanelBitmap() const override { return bitmap_; }
  uint32_t PanelControlId() const override { return panelControl_; }

 protected:
  // The finish notification: validate, tell every page, post the finish
  // message to this page.
  intptr_t OnWizardFinish();

  svp::SheetPageRecord record_;
  svp::PageHandle handle_ = 0;
  CSvWizard* wizard_;
  std::string name_ = "No Name";
  svp::BitmapHandle bitmap_ = 0;
  uint32_t panelControl_ = 0;
  uint16_t templateId_;
  svp::WindowHandle window_ = 0;
};
