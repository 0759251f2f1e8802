// A wizard page and a wizard that note what the frame asks of them, and the
// sheet driver that wizard_sheet_cases.h runs its cases through: on the
// simulated sheet (native) and on comctl32's under Wine.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "kit/kit.h"
#include "wizard/page.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

using Journal = std::vector<std::string>;

class TestPage : public CSvWizardPage {
 public:
  TestPage(uint16_t id, CSvWizard* wizard, bool required, Journal* journal)
      : CSvWizardPage(id, wizard), required_(required), journal_(journal) {}

  bool IsRequired() override { return required_; }
  int Validate(bool) override {
    Note("validate");
    return valid_;
  }
  intptr_t OnFinishing() override {
    Note("finishing");
    return 0;
  }
  uint32_t ApplyRequirements(CSvKit* kit) override {
    Note("apply");
    kit_ = kit;
    return GetTemplateId();
  }
  void Note(const char* what) { journal_->push_back(what + (" " + std::to_string(GetTemplateId()))); }

  bool required_;
  int valid_ = 1;
  CSvKit* kit_ = nullptr;
  Journal* journal_;
};

class TestWizard : public CSvWizard {
 public:
  explicit TestWizard(Journal* journal)
      : CSvWizard("SOFTWARE\\SvSheetTest", svp::kHKeyCurrentUser), journal_(journal) {}
  intptr_t Finish() override {
    journal_->push_back("finish");
    return CSvWizard::Finish();
  }
  bool OnCancel() override {
    journal_->push_back("cancel?");
    return refuseCancel_;
  }
  bool refuseCancel_ = false;
  Journal* journal_;
};

// Works a sheet as the user and the message loop would; the test fixture
// installs the platform whose sheet it drives.
class SheetDriver {
 protected:
  virtual ~SheetDriver() = default;
  // A sheet button (svp::kPsbtn*) as the user clicks it: false when it is
  // hidden or disabled.
  virtual bool Click(int button) = 0;
  // A button of the current page (a WM_COMMAND).
  virtual bool ClickInPage(uint32_t id) = 0;
  virtual uint16_t Current() = 0;
  // svp::kWiz* as the sheet's buttons show it.
  virtual uint32_t Buttons() = 0;
  virtual bool CancelEnabled() = 0;
  virtual bool SheetOpen() = 0;
  virtual size_t SheetPageCount() = 0;
  // The message loop until the queue is empty; a quit is kept aside.
  virtual void Pump() = 0;
  // The quit's exit code, -1 while none came.
  virtual int QuitCode() = 0;
  virtual void Screenshot(const char*) {}

  // Pages of real dialog templates, with the given IsRequired answers; the
  // sheet opened unless `create` is false.
  void Open(std::vector<bool> required, bool create = true) {
    static const uint16_t kTemplates[] = {101, 1546, 1539};
    wizard_.reset();
    wizard_ = std::make_unique<TestWizard>(&journal_);
    pages_.clear();
    for (size_t i = 0; i < required.size(); ++i) {
      pages_.push_back(new TestPage(kTemplates[i], wizard_.get(), required[i], &journal_));
      ASSERT_TRUE(wizard_->AddPage(pages_.back(), false));
    }
    if (create) {
      ASSERT_TRUE(wizard_->Create(false));
    }
  }
  Journal Take() { return std::exchange(journal_, {}); }

  Journal journal_;
  std::vector<TestPage*> pages_;
  std::unique_ptr<TestWizard> wizard_;
};
