#include "wizard/page.h"

#include "wizard/wizard.h"

CSvWizardPage::CSvWizardPage(uint16_t templateId, CSvWizard* wizard)
    : wizard_(wizard), templateId_(templateId) {
  record_.size = 48;
  record_.flags = 0;
  record_.templateId = templateId;
  record_.page = this;
}

CSvWizardPage::~CSvWizardPage() {
  if (svp::Get().sheets != nullptr) {
    if (window_ != 0) svp::Sheets().DestroyWindow(window_);
    if (bitmap_ != 0) svp::Sheets().DeleteBitmap(bitmap_);
  }
  window_ = 0;
  bitmap_ = 0;
}

int CSvWizardPage::Validate(bool) { return kSvPageValid; }

void CSvWizardPage::GetName(std::string& out) const { out = name_; }

void CSvWizardPage::SetName(const char* text) {
  if (text != nullptr) name_ = text;
}

bool CSvWizardPage::IsRequired() { return false; }

void CSvWizardPage::OnAdded() {}

void CSvWizardPage::OnHelp() { wizard_->OnHelp(); }

intptr_t CSvWizardPage::OnKillActive() {
  UpdateData(true);
  // Leaving backwards never validates: the user may always go back.
  if (wizard_->IsGoingBack()) return svp::kPsnGoOn;
  return Validate(true) == kSvPageValid ? svp::kPsnGoOn : svp::kPsnStay;
}

intptr_t CSvWizardPage::OnSetActive() {
  wizard_->SetCurrentPage(this);
  UpdateData(false);
  wizard_->UpdateButtons(true);
  return svp::kPsnGoOn;
}

intptr_t CSvWizardPage::OnQueryCancel() {
  return wizard_->OnCancel() ? svp::kPsnKeepOpen : svp::kPsnGoOn;
}

intptr_t CSvWizardPage::OnWizardBack() { return wizard_->OnWizardBack(); }

intptr_t CSvWizardPage::OnFinishing() { return svp::kPsnGoOn; }

intptr_t CSvWizardPage::OnWizardNext() { return wizard_->OnWizardNext(); }

uint32_t CSvWizardPage::ApplyRequirements(CSvKit*) { return 0; }

intptr_t CSvWizardPage::OnNotify(uint32_t, int code) {
  switch (code) {
    case svp::kPsnQueryCancel:
      return OnQueryCancel();
    case svp::kPsnWizFinish:
      return OnWizardFinish();
    case svp::kPsnWizNext:
      return OnWizardNext();
    case svp::kPsnWizBack:
      return OnWizardBack();
    case svp::kPsnHelp:
      OnHelp();
      return svp::kPsnGoOn;
    case svp::kPsnReset:
      wizard_->OnReset();
      return svp::kPsnGoOn;
    case svp::kPsnKillActive:
      return OnKillActive();
    case svp::kPsnSetActive:
      return OnSetActive();
    default:
      return svp::kPsnGoOn;
  }
}

intptr_t CSvWizardPage::OnWizardFinish() {
  UpdateData(true);
  // Any answer but kPsnGoOn keeps the sheet open: on this page when refused.
  if (Validate(true) != kSvPageValid) return templateId_;
  for (CSvWizardPage* page : wizard_->GetPages()) page->OnFinishing();
  // The removal runs from the message loop, not inside the notification,
  // so the sheet stays on screen while it works.
  if (window_ != 0) svp::Sheets().PostFinishMessage(window_);
  return kSvFinishPosted;
}

bool CSvWizardPage::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CSvWizardPage::DoDataExchange(bool) {}

bool CSvWizardPage::OnCommand(uint32_t) { return false; }

// Enter and Escape inside a page must not close the page's dialog: both lead
// to the wizard's cancel question.
void CSvWizardPage::OnOK() { wizard_->PressCancel(); }

void CSvWizardPage::OnCancel() { wizard_->PressCancel(); }

bool CSvWizardPage::UpdateData(bool save) {
  if (window_ == 0) return false;
  DoDataExchange(save);
  return true;
}

bool CSvWizardPage::LoadPanelBitmap(uint32_t bitmapId, uint32_t controlId) {
  panelControl_ = controlId;
  if (bitmap_ != 0) svp::Sheets().DeleteBitmap(bitmap_);
  bitmap_ = svp::Sheets().LoadBitmap(bitmapId);
  if (bitmap_ == 0) panelControl_ = 0;
  return bitmap_ != 0;
}

bool CSvWizardPage::IsCurrentPage() const { return wizard_->GetCurrentPage() == this; }

CSvMacroList* CSvWizardPage::GetMacroList() const { return wizard_->GetMacroList(); }

CSvSwitchList* CSvWizardPage::GetSwitchList() const { return wizard_->GetSwitchList(); }

void CSvWizardPage::DetachFromSheet() { handle_ = 0; }

bool CSvWizardPage::PageInitDialog(svp::WindowHandle window) {
  window_ = window;
  return OnInitDialog();
}

intptr_t CSvWizardPage::PageNotify(uint32_t controlId, int code) {
  return OnNotify(controlId, code);
}

bool CSvWizardPage::PageCommand(uint32_t id, uint32_t notifyCode) {
  // Buttons report clicks with notification 0; edits' change reports are not commands.
  if (notifyCode != 0) return false;
  if (id == svp::kIdcOk) {
    OnOK();
    return true;
  }
  if (id == svp::kIdcCancel) {
    OnCancel();
    return true;
  }
  return OnCommand(id);
}

intptr_t CSvWizardPage::PageFinishMessage() { return wizard_->Finish(); }

void CSvWizardPage::PageWindowDestroyed() { window_ = 0; }
