#include "wizard/wizard.h"

#include <algorithm>

#include "app/switches.h"
#include "kit/kit.h"
#include "macros/macros.h"
#include "wizard/page.h"

CSvWizard::CSvWizard(const std::string& subKey, svp::RegKey root) {
  pages_.reserve(10);
  macros_ = std::make_unique<CSvMacroList>(root, subKey);
  switches_ = std::make_unique<CSvSwitchList>();
  kit_ = std::make_unique<CSvKit>(this, macros_.get(), switches_.get());
  header_.size = 52;
  header_.flags = 0x420;
  header_.pages = handles_;
}

CSvWizard::~CSvWizard() {
  // The pages first, then the macro table, the kit and the switch list, in
  // that order rather than the members' reverse one.
  pages_.clear();
  current_ = next_ = prev_ = nullptr;
  macros_.reset();
  kit_.reset();
  switches_.reset();
  if (window_ != 0 && svp::Get().sheets != nullptr) svp::Sheets().DestroyWindow(window_);
  window_ = 0;
}

std::vector<CSvWizardPage*> CSvWizard::GetPages() const {
  std::vector<CSvWizardPage*> pages;
  pages.reserve(pages_.size());
  for (const auto& page : pages_) pages.push_back(page.get());
  return pages;
}

std::vector<std::unique_ptr<CSvWizardPage>>::iterator CSvWizard::Find(const CSvWizardPage* page) {
  return std::find_if(pages_.begin(), pages_.end(),
                      [page](const std::unique_ptr<CSvWizardPage>& p) { return p.get() == page; });
}

bool CSvWizard::AddPage(CSvWizardPage* page, bool activate) {
  if (page == nullptr) return false;
  if (window_ != 0) {
    page->SetPageHandle(svp::Sheets().CreatePage(page->GetPageRecord()));
    svp::Sheets().AddPage(window_, page->GetPageHandle());
  }
  if (pages_.size() == pages_.capacity()) pages_.reserve(pages_.size() + 10);
  pages_.emplace_back(page);
  page->OnAdded();
  if (activate && window_ != 0) svp::Sheets().SetCurSelId(window_, page->GetTemplateId());
  return true;
}

bool CSvWizard::RemovePage(CSvWizardPage* page, bool destroy) {
  const auto it = Find(page);
  if (page == nullptr || it == pages_.end()) return false;
  if (window_ != 0) svp::Sheets().RemovePage(window_, page->GetPageHandle());
  std::unique_ptr<CSvWizardPage> owned = std::move(*it);
  pages_.erase(it);
  page->DetachFromSheet();
  // Keep no pointer to a page that left the list.
  if (current_ == page) current_ = nullptr;
  if (next_ == page) next_ = nullptr;
  if (prev_ == page) prev_ = nullptr;
  // A page that is not destroyed belongs to the caller again.
  if (!destroy) owned.release();
  return true;
}

bool CSvWizard::Create(bool hidden) {
  if (window_ != 0) return false;
  uint32_t count = 0;
  for (const auto& page : pages_) {
    if (count == kMaxPageHandles) break;
    page->SetPageHandle(svp::Sheets().CreatePage(page->GetPageRecord()));
    handles_[count++] = page->GetPageHandle();
  }
  uint32_t version = svp::Sheets().GetCommonControlsVersion();
  header_.size = version >= svp::kComCtlVersionFullHeader ? 52 : 40;
  header_.flags = 0x420;
  header_.caption.clear();
  header_.pageCount = count;
  header_.startPage = 0;
  header_.pages = handles_;
  svp::WindowHandle sheet = svp::Sheets().CreateSheet(header_, this);
  if (sheet != 0 && hidden) svp::Sheets().ShowWindow(sheet, false);
  // Created and attached: SheetAttached has stored the window.
  return sheet != 0 && window_ == sheet;
}

CSvWizardPage* CSvWizard::GetAdjacentPage(CSvWizardPage* page, int direction) {
  const auto it = Find(page);
  if (page == nullptr || it == pages_.end()) return nullptr;
  if (direction == kDirectionNext) return it + 1 == pages_.end() ? nullptr : (it + 1)->get();
  return it == pages_.begin() ? nullptr : (it - 1)->get();
}

CSvWizardPage* CSvWizard::FindRequiredPage(CSvWizardPage* page, int direction) {
  CSvWizardPage* candidate = GetAdjacentPage(page, direction);
  while (candidate != nullptr && !candidate->IsRequired())
    candidate = GetAdjacentPage(candidate, direction);
  return candidate;
}

uint32_t CSvWizard::EvaluateRequirements() {
  kit_->SelectGroup("_REQUIRED");
  uint32_t result = 0;
  for (const auto& page : pages_) result = page->ApplyRequirements(kit_.get());
  return result;
}

bool CSvWizard::OnCancel() { return false; }

void CSvWizard::OnReset() {
  if (finishing_ != 0) {
    resetWhileFinishing_ = 1;
    EnableCancel(false);
  } else {
    PostQuit(0);
  }
}

void CSvWizard::OnHelp() {}

intptr_t CSvWizard::OnWizardBack() {
  goingBack_ = 1;
  return prev_ != nullptr ? prev_->GetTemplateId() : svp::kPsnStay;
}

intptr_t CSvWizard::Finish() {
  finishing_ = 1;
  return kSvFinishHandled;
}

intptr_t CSvWizard::OnWizardNext() {
  goingBack_ = 0;
  return next_ != nullptr ? next_->GetTemplateId() : svp::kPsnStay;
}

void CSvWizard::OnOldVersionYes() {}

void CSvWizard::SetFinishAllowed(bool allowed) {
  finishAllowed_ = allowed ? 1 : 0;
  UpdateButtons(true);
}

void CSvWizard::UpdateButtons(bool sendNow) {
  if (window_ == 0) return;
  uint32_t state;
  if (finishing_ == 0) {
    next_ = FindRequiredPage(current_, kDirectionNext);
    if (next_ != nullptr)
      state = svp::kWizNext;
    else
      state = finishAllowed_ != 0 ? svp::kWizFinish : svp::kWizDisabledFinish;
    prev_ = FindRequiredPage(current_, kDirectionPrevious);
    if (prev_ != nullptr) state |= svp::kWizBack;
  } else {
    state = svp::kWizDisabledFinish;
  }
  svp::Sheets().SetWizButtons(window_, state, sendNow);
}

void CSvWizard::EnableCancel(bool enable) {
  if (window_ == 0) return;
  svp::Sheets().EnableItem(window_, svp::kIdcCancel, enable);
  svp::Sheets().UpdateWindow(window_);
}

void CSvWizard::PressCancel() {
  if (window_ != 0) svp::Sheets().PostCommand(window_, svp::kIdcCancel);
}

bool CSvWizard::SelectPage(uint16_t templateId) {
  return window_ != 0 && svp::Sheets().SetCurSelId(window_, templateId);
}

void CSvWizard::PostButtons(uint32_t state) {
  if (window_ != 0) svp::Sheets().SetWizButtons(window_, state, false);
}

void CSvWizard::PressButton(int button, bool send) {
  if (window_ != 0) svp::Sheets().PressButton(window_, button, send);
}

void CSvWizard::PostQuit(int exitCode) { svp::Sheets().PostQuit(exitCode); }
