// The wizard's cases, run on both sheets: navigation by IsRequired, button
// states, validation, Finish, Cancel and the progress pages.  The includer
// defines the fixture WizardSheet, a SheetDriver over its platform's sheet.
#pragma once

#include "wizard_test_pages.h"

TEST_F(WizardSheet, NextAndBackJumpOverPagesThatAreNotRequiredAndFinishWaitsForPermission) {
  Open({true, false, true});
  EXPECT_EQ(101, Current());
  EXPECT_EQ(svp::kWizNext, Buttons());  // no Back on the first page
  ASSERT_TRUE(Click(svp::kPsbtnNext));
  EXPECT_EQ(1539, Current());
  EXPECT_EQ(svp::kWizBack | svp::kWizDisabledFinish, Buttons());
  EXPECT_FALSE(Click(svp::kPsbtnFinish));
  wizard_->SetFinishAllowed(true);
  EXPECT_EQ(svp::kWizBack | svp::kWizFinish, Buttons());
  wizard_->SetFinishAllowed(false);
  EXPECT_EQ(svp::kWizBack | svp::kWizDisabledFinish, Buttons());

  ASSERT_TRUE(Click(svp::kPsbtnBack));
  EXPECT_EQ(101, Current());
  EXPECT_EQ(0u, pages_[1]->GetSafeHwnd());  // never shown
}

TEST_F(WizardSheet, RefusedValidationBlocksNextAndFinishButNeverBack) {
  Open({true, true, true});
  wizard_->SetFinishAllowed(true);
  ASSERT_TRUE(Click(svp::kPsbtnNext));
  pages_[1]->valid_ = 0;
  Take();
  EXPECT_TRUE(Click(svp::kPsbtnNext));
  EXPECT_EQ(1546, Current());
  EXPECT_EQ(Journal{"validate 1546"}, Take());
  ASSERT_TRUE(Click(svp::kPsbtnBack));
  EXPECT_EQ(101, Current());
  EXPECT_TRUE(Take().empty());  // leaving backwards asks nothing

  // Finish on a refusing last page keeps the sheet on that page and runs nothing.
  pages_[1]->valid_ = 1;
  pages_[2]->valid_ = 0;
  ASSERT_TRUE(Click(svp::kPsbtnNext));
  ASSERT_TRUE(Click(svp::kPsbtnNext));
  Take();
  ASSERT_TRUE(Click(svp::kPsbtnFinish));
  Pump();
  EXPECT_EQ(1539, Current());
  EXPECT_EQ(Journal{"validate 1539"}, Take());
  EXPECT_TRUE(SheetOpen());
}

TEST_F(WizardSheet, FinishTellsEveryPageAndRunsFromTheMessageLoop) {
  Open({true, false});
  wizard_->SetFinishAllowed(true);
  Take();
  ASSERT_TRUE(Click(svp::kPsbtnFinish));
  // Page 1546 was never shown and is told all the same; Finish waits for the loop.
  EXPECT_EQ((Journal{"validate 101", "finishing 101", "finishing 1546"}), Take());
  EXPECT_TRUE(SheetOpen());
  Pump();
  EXPECT_EQ(Journal{"finish"}, Take());
  EXPECT_TRUE(SheetOpen());  // the sheet stays for the removal
  EXPECT_EQ(-1, QuitCode());
  EXPECT_TRUE(wizard_->IsFinishing());
  wizard_->UpdateButtons(true);
  EXPECT_EQ(svp::kWizDisabledFinish, Buttons());
}

TEST_F(WizardSheet, PagesAddedToAnOpenSheet) {
  Open({true});
  auto* status = new TestPage(1543, wizard_.get(), false, &journal_);
  ASSERT_TRUE(wizard_->AddPage(status, true));
  EXPECT_EQ(1543, Current());  // shown though never required
  auto* quiet = new TestPage(134, wizard_.get(), false, &journal_);
  ASSERT_TRUE(wizard_->AddPage(quiet, false));
  EXPECT_EQ(1543, Current());
  EXPECT_EQ(3u, SheetPageCount());
  // The selection's answer is checked natively: Wine's sheet answers 0 either way.
  wizard_->SelectPage(101);
  EXPECT_EQ(101, Current());
  wizard_->SelectPage(77);
  EXPECT_EQ(101, Current());

  EXPECT_FALSE(wizard_->AddPage(nullptr, true));
  TestWizard other(&journal_);
  TestPage stranger(128, &other, true, &journal_);
  EXPECT_FALSE(wizard_->RemovePage(&stranger, false));
  EXPECT_TRUE(wizard_->RemovePage(quiet, true));
  EXPECT_EQ(2u, SheetPageCount());
  EXPECT_EQ(2u, wizard_->GetPages().size());
}

TEST_F(WizardSheet, CancelEndsTheRunOnlyWhenConfirmedAndNotWhileFinishing) {
  Open({true});
  wizard_->refuseCancel_ = true;
  // Enter and Escape inside a page ask the cancel question, from the message loop.
  for (uint32_t key : {svp::kIdcOk, svp::kIdcCancel}) {
    Take();
    ASSERT_TRUE(ClickInPage(key));
    EXPECT_TRUE(journal_.empty());
    Pump();
    EXPECT_EQ(Journal{"cancel?"}, Take());
    EXPECT_TRUE(SheetOpen());
    EXPECT_EQ(-1, QuitCode());
  }

  wizard_->refuseCancel_ = false;
  wizard_->SetFinishing(true);
  ASSERT_TRUE(Click(svp::kPsbtnCancel));
  Pump();
  EXPECT_EQ(-1, QuitCode());
  EXPECT_TRUE(wizard_->IsResetWhileFinishing());
  EXPECT_FALSE(CancelEnabled());

  Open({true});
  Take();
  ASSERT_TRUE(Click(svp::kPsbtnCancel));
  Pump();
  EXPECT_EQ(Journal{"cancel?"}, Take());
  EXPECT_EQ(0, QuitCode());
}

TEST_F(WizardSheet, ProgressPagesTickAndShortenTheirTexts) {
  Open({true});
  svp::ISheetHost& sheet = svp::Sheets();
  auto* status = new CSvFinishStatusPage(wizard_.get());
  status->LoadPanelBitmap(kSvPanelBitmapId, kSvPanelControlId);
  ASSERT_TRUE(wizard_->AddPage(status, true));
  Pump();
  ASSERT_EQ(kSvIddFinishStatus, Current());
  const svp::WindowHandle window = status->GetSafeHwnd();
  EXPECT_FALSE(sheet.GetCheck(window, kSvIdcNetworkTick));
  status->SetNetworkStatus("Removing the Trellnet protocol and its services.");
  EXPECT_TRUE(sheet.GetCheck(window, kSvIdcNetworkTick));
  EXPECT_EQ("Removing the Trellnet protocol and its services.", sheet.GetItemText(window, kSvIdcNetworkText));
  EXPECT_FALSE(sheet.GetCheck(window, kSvIdcShortcutTick));
  status->SetShortcutStatus("Removing the SOLVANE 32 program group.");
  EXPECT_TRUE(sheet.GetCheck(window, kSvIdcShortcutTick));
  EXPECT_EQ("Removing the SOLVANE 32 program group.", sheet.GetItemText(window, kSvIdcShortcutText));
  Screenshot("page1543_status");

  // Both copy paths are shortened to 35 characters.
  auto* copy = new CSvCopyStatusPage(wizard_.get());
  copy->LoadPanelBitmap(kSvPanelBitmapId, kSvPanelControlId);
  EXPECT_FALSE(copy->SetCopyStatus("C:\\A", "b.dll", "C:\\C", "d.dll"));  // no window yet
  EXPECT_EQ("C:\\A\\b.dll", copy->GetFirstText());
  ASSERT_TRUE(wizard_->AddPage(copy, true));
  Pump();
  EXPECT_TRUE(copy->SetCopyStatus("D:\\Program Files\\Sv\\Bin\\Very\\Deep", "file.dll",
                                  "C:\\WINNT\\system32", "svnet.dll"));
  EXPECT_EQ("D:\\Program Files\\...\\Deep\\file.dll", sheet.GetItemText(copy->GetSafeHwnd(), kSvIdcCopyFirst));
  EXPECT_EQ("C:\\WINNT\\system32\\svnet.dll", sheet.GetItemText(copy->GetSafeHwnd(), kSvIdcCopySecond));
  Screenshot("page1539_files");
}
