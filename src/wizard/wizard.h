// The wizard frame: an ordered list of pages shown in the platform's modeless
// wizard property sheet, navigated by the pages' own IsRequired answers, and
// the owner of the run's macro table, switch list and kit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/svobject.h"
#include "platform/platform.h"
#include "platform/sheet.h"

class CSvWizardPage;
class CSvMacroList;
class CSvSwitchList;
class CSvKit;

// What Finish hands back as the result of the finish message; nothing reads it.
enum : intptr_t { kSvFinishHandled = 0 };

class CSvWizard : public CSvObject, public svp::ISheetFrame {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvWizard)

  enum : int { kDirectionNext = 0, kDirectionPrevious = 1 };
  static constexpr size_t kMaxPageHandles = 128;

  CSvWizard(const std::string& subKey, svp::RegKey root);
  ~CSvWizard() override;
  CSvWizard(const CSvWizard&) = delete;
  CSvWizard& operator=(const CSvWizard&) = delete;

  // The frame's own slots, in this order.
  // Takes ownership of the page when it returns true; false for no page.
  virtual bool AddPage(CSvWizardPage* page, bool activate);
  // Without destroy the page's ownership goes back to the caller.
  virtual bool RemovePage(CSvWizardPage* page, bool destroy);
  virtual bool Create(bool hidden);
  virtual CSvWizardPage* GetAdjacentPage(CSvWizardPage* page, int direction);
  virtual uint32_t EvaluateRequirements();
  // True refuses the cancellation.
  virtual bool OnCancel();
  virtual void OnReset();
  virtual void OnHelp();
  // Template identifier of the page to go to, or -1 to stay.
  virtual intptr_t OnWizardBack();
  virtual intptr_t Finish();
  virtual intptr_t OnWizardNext();
  // The old-version page's Yes command; the uninstall wizard answers it.
  virtual void OnOldVersionYes();

  CSvMacroList* GetMacroList() const { return macros_.get(); }
  CSvSwitchList* GetSwitchList() const { return switches_.get(); }
  CSvKit* GetKit() const { return kit_.get(); }
  // The pages in the order added.
  std::vector<CSvWizardPage*> GetPages() const;

  void SetCurrentPage(CSvWizardPage* page) { current_ = page; }
  CSvWizardPage* GetCurrentPage() const { return current_; }
  CSvWizardPage* GetNextPage() const { return next_; }
  CSvWizardPage* GetPrevPage() const { return prev_; }

  void SetFinishAllowed(bool allowed);
  void UpdateButtons(bool sendNow);
  void EnableCancel(bool enable);
  void PressCancel();
  bool SelectPage(uint16_t templateId);
  // PSM_SETWIZBUTTONS posted, for the removal sequence (8 = everything off)
  // and the old-version page (1 = Back alone).
  void PostButtons(uint32_t state);
  // PSM_PRESSBUTTON, sent or posted.
  void PressButton(int button, bool send);
  void PostQuit(int exitCode);

  bool IsFinishing() const { return finishing_ != 0; }
  void SetFinishing(bool finishing) { finishing_ = finishing ? 1 : 0; }
  bool IsResetWhileFinishing() const { return resetWhileFinishing_ != 0; }
  bool IsFinishAllowed() const { return finishAllowed_ != 0; }
  bool IsGoingBack() const { return goingBack_ != 0; }

  // The sheet window; 0 before Create.
  svp::WindowHandle GetSafeHwnd() const { return window_; }
  const svp::SheetHeader& GetSheetHeader() const { return header_; }

  // svp::ISheetFrame
  void SheetAttached(svp::WindowHandle sheet) override { window_ = sheet; }
  void SheetDestroyed() override { window_ = 0; }

 protected:
  // The page's place in the list, or the end.
  std::vector<std::unique_ptr<CSvWizardPage>>::iterator Find(const CSvWizardPage* page);
  // Finds the first page from `page` in `direction` that answers IsRequired.
  CSvWizardPage* FindRequiredPage(CSvWizardPage* page, int direction);

  std::unique_ptr<CSvMacroList> macros_;
  CSvWizardPage* current_ = nullptr;
  std::unique_ptr<CSvSwitchList> switches_;
  std::unique_ptr<CSvKit> kit_;
  uint32_t goingBack_ = 0;
  uint32_t finishAllowed_ = 0;
  uint32_t finishing_ = 0;
  uint32_t resetWhileFinishing_ = 0;
  std::vector<std::unique_ptr<CSvWizardPage>> pages_;
  svp::SheetHeader header_;
  svp::PageHandle handles_[kMaxPageHandles] = {};
  CSvWizardPage* next_ = nullptr;
  CSvWizardPage* prev_ = nullptr;
  svp::WindowHandle window_ = 0;
};
