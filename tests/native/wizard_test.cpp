// The wizard frame over the simulated property sheet: the cases of
// wizard_sheet_cases.h (run on the real sheet too), the sheet header by
// common-controls version, panel bitmaps and the kit's requirements.
#include <memory>
#include <string>
#include <vector>

#include "wizard_test_pages.h"
#include "wizard_test_support.h"

namespace {

class WizardSheet : public WorkstationFixture, public SheetDriver {
 protected:
  bool Click(int button) override {
    switch (button) {
      case svp::kPsbtnBack:
        return sheets().ClickBack();
      case svp::kPsbtnNext:
        return sheets().ClickNext();
      case svp::kPsbtnFinish:
        return sheets().ClickFinish();
      default:
        return sheets().ClickCancel();
    }
  }
  bool ClickInPage(uint32_t id) override { return sheets().ClickPageButton(id); }
  uint16_t Current() override { return sheets().CurrentTemplate(); }
  uint32_t Buttons() override { return sheets().Buttons(); }
  bool CancelEnabled() override { return sheets().CancelEnabled(); }
  bool SheetOpen() override { return sheets().IsOpen(); }
  size_t SheetPageCount() override { return sheets().SheetPageCount(); }
  void Pump() override { sheets().DispatchPosted(); }
  int QuitCode() override { return sheets().QuitPosted() ? sheets().QuitCode() : -1; }
};

#include "wizard_sheet_cases.h"

TEST_F(WizardSheet, SheetHeaderFollowsTheCommonControlsVersionAndPanelBitmapsAreKept) {
  sheets().SetCommonControlsVersion(0x40046);  // 4.70
  Open({true});
  EXPECT_EQ(40u, sheets().HeaderSize());
  EXPECT_EQ(0x420u, sheets().HeaderFlags());
  EXPECT_FALSE(wizard_->Create(false));  // already open
  EXPECT_TRUE(wizard_->SelectPage(101));
  EXPECT_FALSE(wizard_->SelectPage(77));
  EXPECT_FALSE(sheets().IsHidden());
  // A panel bitmap only when the resource exists; none is left behind.
  EXPECT_TRUE(pages_[0]->LoadPanelBitmap(105, 7000));
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

  sheets().FailCreateSheet(true);
  Open({true}, false);
  EXPECT_FALSE(wizard_->Create(false));
  EXPECT_EQ(0u, wizard_->GetSafeHwnd());
  wizard_->UpdateButtons(true);  // no sheet: nothing to do, nothing breaks
}

TEST_F(WizardSheet, EvaluateRequirementsSelectsTheRequiredGroupAndTellsEveryPage) {
  files().WriteFile("C:\\KIT\\KITPURGE.DAT", "DELETE,a.ini,{LDID_WIN},_REQUIRED\n");
  Open({true, false});
  ASSERT_EQ(0u, wizard_->GetKit()->LoadKitData("C:\\KIT", "KITPURGE.DAT"));
  Take();
  EXPECT_EQ(1546u, wizard_->EvaluateRequirements());
  EXPECT_EQ((Journal{"apply 101", "apply 1546"}), Take());
  EXPECT_EQ(wizard_->GetKit(), pages_[1]->kit_);
  EXPECT_EQ(1u, wizard_->GetKit()->FindGroup("_REQUIRED")->GetSelectionCount());
}

}  // namespace
