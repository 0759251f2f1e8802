// A wizard page and a wizard that note what the frame asks of them, shared
// by the wizard tests on the simulated sheet (native) and on the real one
// (Wine), so that both run the same pages.
#pragma once

#include <string>
#include <vector>

#include "kit/kit.h"
#include "wizard/page.h"
#include "wizard/wizard.h"

using Journal = std::vector<std::string>;

class TestPage : public CSvWizardPage {
 public:
  TestPage(uint16_t id, CSvWizard* wizard, bool required, Journal* journal, uint32_t bitmap = 0)
      : CSvWizardPage(id, wizard), required_(required), journal_(journal), bitmapId_(bitmap) {}

  bool IsRequired() override { return required_; }
  bool OnInitDialog() override {
    CSvWizardPage::OnInitDialog();
    if (bitmapId_ != 0) LoadPanelBitmap(bitmapId_, kSvPanelControlId);
    return true;
  }
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
  uint32_t bitmapId_;
};

class TestWizard : public CSvWizard {
 public:
  TestWizard(Journal* journal, const std::string& key, svp::RegKey root)
      : CSvWizard(key, root), journal_(journal) {}
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
