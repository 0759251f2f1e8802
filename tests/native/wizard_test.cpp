// The wizard frame and the page base over the simulated property sheet:
// navigation by IsRequired, button states, validation, Finish and Cancel.
#include <memory>
#include <string>
#include <vector>

#include "kit/kit.h"
#include "macros/macros.h"
#include "wizard/page.h"
#include "wizard/wizard.h"
#include "wizard_test_support.h"

namespace {

using Journal = std::vector<std::string>;

class TestPage : public CSvWizardPage {
 public:
  TestPage(uint16_t id, CSvWizard* wizard, bool required, Journal* journal)
      : CSvWizardPage(id, wizard), required_(required), journal_(journal) {}

  bool IsRequired() override { return required_; }
  int Validate(bool) override {
    journal_->push_back("validate " + std::to_string(GetTemplateId()));
    return valid_;
  }
  intptr_t OnFinishing() override {
    journal_->push_back("finishing " + std::to_string(GetTemplateId()));
    return 0;
  }
  uint32_t ApplyRequirements(CSvKit* kit) override {
    journal_->push_back("apply " + std::to_string(GetTemplateId()));
    kit_ = kit;
    return GetTemplateId();
  }

  bool required_;
  int valid_ = 1;
  CSvKit* kit_ = nullptr;
  Journal* journal_;
};

class TestWizard : public CSvWizard {
 public:
  explicit TestWizard(Journal* journal)
      : CSvWizard(SheetFixture::kConfigKey, svp::kHKeyLocalMachine), journal_(journal) {}
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

class WizardTest : public SheetFixture {
 protected:
  // Pages 1, 2, 3, ... with the given IsRequired answers; the sheet opened.
  void Open(std::vector<bool> required, bool create = true) {
    wizard_ = std::make_unique<TestWizard>(&journal_);
    uint16_t id = 1;
    for (bool r : required) {
      auto* page = new TestPage(id++, wizard_.get(), r, &journal_);
      pages_.push_back(page);
      ASSERT_TRUE(wizard_->AddPage(page, false));
    }
    if (create) ASSERT_TRUE(wizard_->Create(false));
  }

  Journal journal_;
  std::vector<TestPage*> pages_;
  std::unique_ptr<TestWizard> wizard_;
};

TEST_F(WizardTest, NextAndBackJumpOverPagesThatAreNotRequired) {
  Open({true, false, true});
  wizard_->SetFinishAllowed(true);
  EXPECT_EQ(1, sheets_.CurrentTemplate());
  EXPECT_EQ(svp::kWizNext, sheets_.Buttons());  // no Back on the first page

  ASSERT_TRUE(sheets_.ClickNext());
  EXPECT_EQ(3, sheets_.CurrentTemplate());
  EXPECT_EQ(svp::kWizBack | svp::kWizFinish, sheets_.Buttons());

  ASSERT_TRUE(sheets_.ClickBack());
  EXPECT_EQ(1, sheets_.CurrentTemplate());
  EXPECT_EQ((std::vector<uint16_t>{1, 3, 1}), sheets_.Activations());
  EXPECT_FALSE(sheets_.PageWindowExists(2));
}

TEST_F(WizardTest, FinishIsEnabledOnlyOnceAllowed) {
  Open({true, false});
  EXPECT_EQ(svp::kWizDisabledFinish, sheets_.Buttons());
  EXPECT_FALSE(sheets_.ClickFinish());
  wizard_->SetFinishAllowed(true);
  EXPECT_EQ(svp::kWizFinish, sheets_.Buttons());
  wizard_->SetFinishAllowed(false);
  EXPECT_EQ(svp::kWizDisabledFinish, sheets_.Buttons());
}

TEST_F(WizardTest, RefusedValidationBlocksNextAndFinishButNeverBack) {
  Open({true, true, true});
  wizard_->SetFinishAllowed(true);
  ASSERT_TRUE(sheets_.ClickNext());
  pages_[1]->valid_ = 0;
  journal_.clear();

  EXPECT_TRUE(sheets_.ClickNext());
  EXPECT_EQ(2, sheets_.CurrentTemplate());
  EXPECT_EQ(Journal{"validate 2"}, journal_);

  journal_.clear();
  ASSERT_TRUE(sheets_.ClickBack());
  EXPECT_EQ(1, sheets_.CurrentTemplate());
  EXPECT_TRUE(journal_.empty());  // leaving backwards asks nothing

  // Finish on a refusing last page keeps the sheet open on that page.
  pages_[1]->valid_ = 1;
  ASSERT_TRUE(sheets_.ClickNext());
  ASSERT_TRUE(sheets_.ClickNext());
  ASSERT_EQ(3, sheets_.CurrentTemplate());
  pages_[2]->valid_ = 0;
  journal_.clear();
  ASSERT_TRUE(sheets_.ClickFinish());
  EXPECT_EQ(3, sheets_.LastResult(svp::kPsnWizFinish));
  EXPECT_TRUE(sheets_.IsOpen());
  EXPECT_EQ(0u, sheets_.PostedCount());
  EXPECT_EQ(Journal{"validate 3"}, journal_);
}

TEST_F(WizardTest, FinishTellsEveryPageAndRunsFromTheMessageLoop) {
  Open({true, false});
  wizard_->SetFinishAllowed(true);
  ASSERT_TRUE(sheets_.ClickFinish());
  // Page 2 was never shown and is told all the same; Finish waits for the loop.
  EXPECT_EQ((Journal{"validate 1", "finishing 1", "finishing 2"}), journal_);
  EXPECT_EQ(0xFFFF, sheets_.LastResult(svp::kPsnWizFinish));
  EXPECT_TRUE(sheets_.IsOpen());

  sheets_.DispatchPosted();
  EXPECT_EQ("finish", journal_.back());
  EXPECT_TRUE(wizard_->IsFinishing());
  wizard_->UpdateButtons(true);
  EXPECT_EQ(svp::kWizDisabledFinish, sheets_.Buttons());
}

TEST_F(WizardTest, PagesAddedToAnOpenSheet) {
  Open({true});
  auto* status = new TestPage(9, wizard_.get(), false, &journal_);
  ASSERT_TRUE(wizard_->AddPage(status, true));
  EXPECT_EQ(9, sheets_.CurrentTemplate());  // shown though never required
  auto* quiet = new TestPage(10, wizard_.get(), false, &journal_);
  ASSERT_TRUE(wizard_->AddPage(quiet, false));
  EXPECT_EQ(9, sheets_.CurrentTemplate());
  EXPECT_EQ(3u, sheets_.SheetPageCount());
  EXPECT_TRUE(wizard_->SelectPage(1));
  EXPECT_EQ(1, sheets_.CurrentTemplate());
  EXPECT_FALSE(wizard_->SelectPage(77));

  EXPECT_FALSE(wizard_->AddPage(nullptr, true));
  TestWizard other(&journal_);
  TestPage stranger(11, &other, true, &journal_);
  EXPECT_FALSE(wizard_->RemovePage(&stranger, false));
  EXPECT_TRUE(wizard_->RemovePage(quiet, true));
  EXPECT_EQ(2u, sheets_.SheetPageCount());
  EXPECT_EQ(2u, wizard_->GetPages().size());
}

TEST_F(WizardTest, ResetEndsTheRunOnlyBeforeFinishing) {
  Open({true});
  wizard_->refuseCancel_ = true;
  ASSERT_TRUE(sheets_.ClickCancel());
  EXPECT_TRUE(sheets_.IsOpen());
  EXPECT_FALSE(sheets_.QuitPosted());

  wizard_->refuseCancel_ = false;
  ASSERT_TRUE(sheets_.ClickCancel());
  EXPECT_TRUE(sheets_.QuitPosted());
  EXPECT_EQ(0, sheets_.QuitCode());
}

TEST_F(WizardTest, ResetWhileFinishingKeepsTheRunAndDisablesCancel) {
  Open({true});
  wizard_->SetFinishing(true);
  ASSERT_TRUE(sheets_.ClickCancel());
  EXPECT_FALSE(sheets_.QuitPosted());
  EXPECT_TRUE(wizard_->IsResetWhileFinishing());
  EXPECT_FALSE(sheets_.CancelEnabled());
}

TEST_F(WizardTest, EnterAndEscapeInsideAPageAskTheCancelQuestion) {
  Open({true});
  wizard_->refuseCancel_ = true;
  for (uint32_t key : {svp::kIdcOk, svp::kIdcCancel}) {
    journal_.clear();
    ASSERT_TRUE(sheets_.ClickPageButton(key));
    EXPECT_TRUE(journal_.empty());  // posted: asked from the message loop
    sheets_.DispatchPosted();
    EXPECT_EQ(Journal{"cancel?"}, journal_);
    EXPECT_TRUE(sheets_.IsOpen());
  }
}

TEST_F(WizardTest, SheetHeaderFollowsTheCommonControlsVersion) {
  sheets_.SetCommonControlsVersion(0x40046);  // 4.70
  Open({true});
  EXPECT_EQ(40u, sheets_.HeaderSize());
  EXPECT_EQ(0x420u, sheets_.HeaderFlags());
  EXPECT_TRUE(sheets_.IsOpen());
  EXPECT_FALSE(wizard_->Create(false));  // already open
  EXPECT_FALSE(sheets_.IsHidden());
  wizard_.reset();
  EXPECT_EQ(0u, sheets_.Sheet());

  sheets_.SetCommonControlsVersion(0x40047);
  wizard_ = std::make_unique<TestWizard>(&journal_);
  wizard_->AddPage(new TestPage(1, wizard_.get(), true, &journal_), false);
  ASSERT_TRUE(wizard_->Create(true));
  EXPECT_EQ(52u, sheets_.HeaderSize());
  EXPECT_TRUE(sheets_.IsHidden());
}

TEST_F(WizardTest, CreateFailsWhenTheSheetCannotBeMade) {
  sheets_.FailCreateSheet(true);
  Open({true}, false);
  EXPECT_FALSE(wizard_->Create(false));
  EXPECT_EQ(0u, wizard_->GetSafeHwnd());
  wizard_->UpdateButtons(true);  // no sheet: nothing to do, nothing breaks
}

TEST_F(WizardTest, EvaluateRequirementsSelectsTheRequiredGroupAndTellsEveryPage) {
  files().WriteFile("C:\\KIT\\KITPURGE.DAT", "DELETE,a.ini,{LDID_WIN},_REQUIRED\n");
  Open({true, false});
  ASSERT_EQ(0u, wizard_->GetKit()->LoadKitData("C:\\KIT", "KITPURGE.DAT"));
  EXPECT_EQ(2u, wizard_->EvaluateRequirements());
  EXPECT_EQ(1u, wizard_->GetKit()->FindGroup("_REQUIRED")->GetSelectionCount());
  std::vector<std::string> selected;
  for (CSvFile* file : wizard_->GetKit()->SelectedFiles()) selected.push_back(file->GetSourceName());
  EXPECT_EQ(std::vector<std::string>{"a.ini"}, selected);
  EXPECT_EQ(wizard_->GetKit(), pages_[1]->kit_);
  EXPECT_EQ((Journal{"apply 1", "apply 2"}),
            Journal(journal_.end() - 2, journal_.end()));
}

TEST_F(WizardTest, PanelBitmapIsKeptOnlyWhenTheResourceExists) {
  Open({true});
  EXPECT_TRUE(pages_[0]->LoadPanelBitmap(105, 7000));
  EXPECT_EQ(7000u, pages_[0]->PanelControlId());
  EXPECT_NE(0u, pages_[0]->PanelBitmap());
  EXPECT_FALSE(pages_[0]->LoadPanelBitmap(120, 7000));
  EXPECT_EQ(0u, pages_[0]->PanelControlId());
  EXPECT_TRUE(pages_[0]->LoadPanelBitmap(105, 7000));
  EXPECT_EQ(1, sheets_.LiveBitmaps());
  wizard_.reset();
  EXPECT_EQ(0, sheets_.LiveBitmaps());
}

}  // namespace
