// The wizard frame and the page base over the simulated property sheet:
// navigation by IsRequired, button states, validation, Finish and Cancel.
// tests/wine/wizard_sheet_test.cpp runs the same pages on the real sheet.
#include <memory>
#include <string>
#include <vector>

#include "macros/macros.h"
#include "wizard_test_pages.h"
#include "wizard_test_support.h"

namespace {

class WizardTest : public WorkstationFixture {
 protected:
  // Pages 1, 2, 3, ... with the given IsRequired answers; the sheet opened.
  void Open(std::vector<bool> required, bool create = true) {
    wizard_ = std::make_unique<TestWizard>(&journal_, kConfigKey, svp::kHKeyLocalMachine);
    pages_.clear();
    uint16_t id = 1;
    for (bool r : required) {
      pages_.push_back(new TestPage(id++, wizard_.get(), r, &journal_));
      ASSERT_TRUE(wizard_->AddPage(pages_.back(), false));
    }
    if (create) {
      ASSERT_TRUE(wizard_->Create(false));
    }
  }
  // The journal since the last call.
  Strings Journal() { return std::exchange(journal_, {}); }

  Strings journal_;
  std::vector<TestPage*> pages_;
  std::unique_ptr<TestWizard> wizard_;
};

TEST_F(WizardTest, NextAndBackJumpOverPagesThatAreNotRequiredAndFinishWaitsForPermission) {
  Open({true, false, true});
  EXPECT_EQ(1, sheets().CurrentTemplate());
  EXPECT_EQ(svp::kWizNext, sheets().Buttons());  // no Back on the first page
  ASSERT_TRUE(sheets().ClickNext());
  EXPECT_EQ(3, sheets().CurrentTemplate());
  EXPECT_EQ(svp::kWizBack | svp::kWizDisabledFinish, sheets().Buttons());
  EXPECT_FALSE(sheets().ClickFinish());
  wizard_->SetFinishAllowed(true);
  EXPECT_EQ(svp::kWizBack | svp::kWizFinish, sheets().Buttons());
  wizard_->SetFinishAllowed(false);
  EXPECT_EQ(svp::kWizBack | svp::kWizDisabledFinish, sheets().Buttons());

  ASSERT_TRUE(sheets().ClickBack());
  EXPECT_EQ(1, sheets().CurrentTemplate());
  EXPECT_EQ((std::vector<uint16_t>{1, 3, 1}), sheets().Activations());
  EXPECT_FALSE(sheets().PageWindowExists(2));
}

TEST_F(WizardTest, RefusedValidationBlocksNextAndFinishButNeverBack) {
  Open({true, true, true});
  wizard_->SetFinishAllowed(true);
  ASSERT_TRUE(sheets().ClickNext());
  pages_[1]->valid_ = 0;
  Journal();
  EXPECT_TRUE(sheets().ClickNext());
  EXPECT_EQ(2, sheets().CurrentTemplate());
  EXPECT_EQ(Strings{"validate 2"}, Journal());
  ASSERT_TRUE(sheets().ClickBack());
  EXPECT_EQ(1, sheets().CurrentTemplate());
  EXPECT_TRUE(Journal().empty());  // leaving backwards asks nothing

  // Finish on a refusing last page keeps the sheet on that page and posts nothing.
  pages_[1]->valid_ = 1;
  pages_[2]->valid_ = 0;
  ASSERT_TRUE(sheets().ClickNext());
  ASSERT_TRUE(sheets().ClickNext());
  ASSERT_TRUE(sheets().ClickFinish());
  EXPECT_EQ(3, sheets().LastResult(svp::kPsnWizFinish));
  EXPECT_EQ(0u, sheets().PostedCount());
}

TEST_F(WizardTest, FinishTellsEveryPageAndRunsFromTheMessageLoop) {
  Open({true, false});
  wizard_->SetFinishAllowed(true);
  ASSERT_TRUE(sheets().ClickFinish());
  // Page 2 was never shown and is told all the same; Finish waits for the loop.
  EXPECT_EQ((Strings{"validate 1", "finishing 1", "finishing 2"}), Journal());
  EXPECT_EQ(0xFFFF, sheets().LastResult(svp::kPsnWizFinish));
  EXPECT_TRUE(sheets().IsOpen());
  sheets().DispatchPosted();
  EXPECT_EQ(Strings{"finish"}, Journal());
  EXPECT_TRUE(wizard_->IsFinishing());
  wizard_->UpdateButtons(true);
  EXPECT_EQ(svp::kWizDisabledFinish, sheets().Buttons());
}

TEST_F(WizardTest, PagesAddedToAnOpenSheet) {
  Open({true});
  auto* status = new TestPage(9, wizard_.get(), false, &journal_);
  ASSERT_TRUE(wizard_->AddPage(status, true));
  EXPECT_EQ(9, sheets().CurrentTemplate());  // shown though never required
  auto* quiet = new TestPage(10, wizard_.get(), false, &journal_);
  ASSERT_TRUE(wizard_->AddPage(quiet, false));
  EXPECT_EQ(9, sheets().CurrentTemplate());
  EXPECT_EQ(3u, sheets().SheetPageCount());
  EXPECT_TRUE(wizard_->SelectPage(1));
  EXPECT_EQ(1, sheets().CurrentTemplate());
  EXPECT_FALSE(wizard_->SelectPage(77));

  EXPECT_FALSE(wizard_->AddPage(nullptr, true));
  TestWizard other(&journal_, kConfigKey, svp::kHKeyLocalMachine);
  TestPage stranger(11, &other, true, &journal_);
  EXPECT_FALSE(wizard_->RemovePage(&stranger, false));
  EXPECT_TRUE(wizard_->RemovePage(quiet, true));
  EXPECT_EQ(2u, sheets().SheetPageCount());
  EXPECT_EQ(2u, wizard_->GetPages().size());
}

TEST_F(WizardTest, CancelEndsTheRunOnlyWhenConfirmedAndNotWhileFinishing) {
  Open({true});
  wizard_->refuseCancel_ = true;
  // Enter and Escape inside a page ask the cancel question, from the message loop.
  for (uint32_t key : {svp::kIdcOk, svp::kIdcCancel}) {
    Journal();
    ASSERT_TRUE(sheets().ClickPageButton(key));
    EXPECT_TRUE(journal_.empty());
    sheets().DispatchPosted();
    EXPECT_EQ(Strings{"cancel?"}, Journal());
    EXPECT_TRUE(sheets().IsOpen());
  }

  wizard_->refuseCancel_ = false;
  wizard_->SetFinishing(true);
  ASSERT_TRUE(sheets().ClickCancel());
  EXPECT_FALSE(sheets().QuitPosted());
  EXPECT_TRUE(wizard_->IsResetWhileFinishing());
  EXPECT_FALSE(sheets().CancelEnabled());

  Open({true});
  ASSERT_TRUE(sheets().ClickCancel());
  EXPECT_TRUE(sheets().QuitPosted());
  EXPECT_EQ(0, sheets().QuitCode());
}

TEST_F(WizardTest, SheetHeaderFollowsTheCommonControlsVersionAndPanelBitmapsAreKept) {
  sheets().SetCommonControlsVersion(0x40046);  // 4.70
  Open({true});
  EXPECT_EQ(40u, sheets().HeaderSize());
  EXPECT_EQ(0x420u, sheets().HeaderFlags());
  EXPECT_FALSE(wizard_->Create(false));  // already open
  EXPECT_FALSE(sheets().IsHidden());
  // A panel bitmap only when the resource exists; none is left behind.
  EXPECT_TRUE(pages_[0]->LoadPanelBitmap(105, 7000));
  EXPECT_EQ(7000u, pages_[0]->PanelControlId());
  EXPECT_NE(0u, pages_[0]->PanelBitmap());
  EXPECT_FALSE(pages_[0]->LoadPanelBitmap(120, 7000));
  EXPECT_EQ(0u, pages_[0]->PanelControlId());
  EXPECT_TRUE(pages_[0]->LoadPanelBitmap(105, 7000));
  EXPECT_EQ(1, sheets().LiveBitmaps());
  wizard_.reset();
  EXPECT_EQ(0u, sheets().Sheet());
  EXPECT_EQ(0, sheets().LiveBitmaps());

  sheets().SetCommonControlsVersion(0x40047);
  Open({true}, false);
  ASSERT_TRUE(wizard_->Create(true));
  EXPECT_EQ(52u, sheets().HeaderSize());
  EXPECT_TRUE(sheets().IsHidden());

  wizard_.reset();
  sheets().FailCreateSheet(true);
  Open({true}, false);
  EXPECT_FALSE(wizard_->Create(false));
  EXPECT_EQ(0u, wizard_->GetSafeHwnd());
  wizard_->UpdateButtons(true);  // no sheet: nothing to do, nothing breaks
}

TEST_F(WizardTest, EvaluateRequirementsSelectsTheRequiredGroupAndTellsEveryPage) {
  files().WriteFile("C:\\KIT\\KITPURGE.DAT", "DELETE,a.ini,{LDID_WIN},_REQUIRED\n");
  Open({true, false});
  ASSERT_EQ(0u, wizard_->GetKit()->LoadKitData("C:\\KIT", "KITPURGE.DAT"));
  Journal();
  EXPECT_EQ(2u, wizard_->EvaluateRequirements());
  EXPECT_EQ((Strings{"apply 1", "apply 2"}), Journal());
  EXPECT_EQ(wizard_->GetKit(), pages_[1]->kit_);
  EXPECT_EQ(1u, wizard_->GetKit()->FindGroup("_REQUIRED")->GetSelectionCount());
  ASSERT_EQ(1u, wizard_->GetKit()->SelectedFiles().size());
  EXPECT_EQ("a.ini", (*wizard_->GetKit()->SelectedFiles().begin())->GetSourceName());
}

}  // namespace
