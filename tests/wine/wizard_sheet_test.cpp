// The wizard frame and its pages on the real property sheet (comctl32 under
// Wine): the cases of wizard_sheet_cases.h, with screenshots of the progress
// pages in the build tree's screenshots directory, then what only the real
// sheet shows: the older header and the painted side panel.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_sheet.h"
#include "platform/win32/win32_platform.h"
#include "wine/uidriver_client.h"
#include "wizard/pages.h"
#include "wizard_test_pages.h"

namespace {

// The sheet's own buttons.
enum : int { kIdcBack = 0x3023, kIdcNext = 0x3024, kIdcFinish = 0x3025 };

class WizardSheet : public ::testing::Test, public SheetDriver {
 protected:
  void SetUp() override { Open({}, false); }
  void TearDown() override {
    wizard_.reset();
    Pump();
  }

  bool Click(int button) override {
    const int ids[] = {kIdcBack, kIdcNext, kIdcFinish, 0, 0, IDCANCEL};
    if (!Showing(ids[button])) return false;
    SendMessageA(Sheet(), PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    return true;
  }
  bool ClickInPage(uint32_t id) override {
    SendMessageA(CurrentPageWindow(), WM_COMMAND, id, 0);
    return CurrentPageWindow() != nullptr;
  }
  uint16_t Current() override {
    for (CSvWizardPage* page : wizard_->GetPages())
      if (reinterpret_cast<HWND>(page->GetSafeHwnd()) == CurrentPageWindow()) return page->GetTemplateId();
    return 0;
  }
  uint32_t Buttons() override {
    uint32_t state = 0;
    if (Showing(kIdcBack)) state |= svp::kWizBack;
    if (IsWindowVisible(GetDlgItem(Sheet(), kIdcFinish)))
      state |= Showing(kIdcFinish) ? svp::kWizFinish : svp::kWizDisabledFinish;
    else if (Showing(kIdcNext))
      state |= svp::kWizNext;
    return state;
  }
  bool CancelEnabled() override { return Showing(IDCANCEL); }
  bool SheetOpen() override { return IsWindow(Sheet()) != FALSE; }
  size_t SheetPageCount() override {
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(Sheet(), PSM_GETTABCONTROL, 0, 0));
    return static_cast<size_t>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
  }
  // The message loop, until the queue is empty; remembers a quit.
  void Pump() override {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quitCode_ = static_cast<int>(message.wParam);
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  int QuitCode() override { return quitCode_; }

  HWND Sheet() { return reinterpret_cast<HWND>(wizard_->GetSafeHwnd()); }
  // A sheet button that is there and enabled.
  bool Showing(int id) {
    HWND button = GetDlgItem(Sheet(), id);
    return IsWindowVisible(button) && IsWindowEnabled(button);
  }

  HWND CurrentPageWindow() {
    return reinterpret_cast<HWND>(SendMessageA(Sheet(), PSM_GETCURRENTPAGEHWND, 0, 0));
  }

  // The screen, with the sheet painted, to <build>/screenshots/<name>.bmp.
  void Screenshot(const char* name) override {
    const char* bin = std::getenv("SV_BIN");
    if (bin == nullptr) return;
    UpdateWindow(Sheet());
    Pump();
    Sleep(300);
    const std::string dir = std::string("Z:") + bin + "/../screenshots";
    CreateDirectoryA(dir.c_str(), nullptr);
    Driver driver("screenshot \"" + dir + "/" + name + ".bmp\"");
    EXPECT_EQ(0, driver.Finish());
  }

  svp::Win32Platform platform_;
  svp::ScopedPlatform installed_{platform_.Parts()};
  svp::ISheetHost& sheets_ = svp::Sheets();
  int quitCode_ = -1;
};

#include "wizard_sheet_cases.h"

TEST_F(WizardSheet, OlderShorterHeaderStillOpensTheSheet) {
  EXPECT_GE(sheets_.GetCommonControlsVersion(), 0x40047u);
  TestPage page(101, wizard_.get(), true, &journal_);
  svp::PageHandle handle = sheets_.CreatePage(page.GetPageRecord());
  ASSERT_NE(0u, handle);
  svp::SheetHeader header;
  header.size = 40;
  header.pages = &handle;
  header.pageCount = 1;
  svp::WindowHandle sheet = sheets_.CreateSheet(header, wizard_.get());
  ASSERT_NE(0u, sheet);
  EXPECT_EQ(sheet, wizard_->GetSafeHwnd());
  EXPECT_NE(0u, page.GetSafeHwnd());
  sheets_.DestroyWindow(sheet);
  EXPECT_EQ(0u, wizard_->GetSafeHwnd());
  EXPECT_EQ(0u, page.GetSafeHwnd());
}

TEST_F(WizardSheet, PanelBitmapIsStretchedOverThePanelControl) {
  Open({true}, false);
  TestPage* page = pages_[0];
  ASSERT_TRUE(page->LoadPanelBitmap(kSvPanelBitmapId, kSvPanelControlId));
  ASSERT_TRUE(wizard_->Create(false));
  SetWindowPos(Sheet(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
  RedrawWindow(Sheet(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  Sleep(300);
  HWND panel = GetDlgItem(reinterpret_cast<HWND>(page->GetSafeHwnd()), kSvPanelControlId);
  ASSERT_NE(nullptr, panel);
  // The screen's pixels over the panel (0x00RRGGBB each).
  RECT area;
  GetWindowRect(panel, &area);
  const int w = area.right - area.left, h = area.bottom - area.top;
  std::vector<COLORREF> pixels;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels.push_back(GetPixel(memory, x, y));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  ASSERT_GT(pixels.size(), 1000u);
  // The picture is mostly the navy, blue and teal of its gradient.
  size_t gradient = 0;
  for (COLORREF c : pixels)
    if (c == RGB(0, 0, 128) || c == RGB(0, 0, 255) || c == RGB(0, 128, 128)) ++gradient;
  EXPECT_GT(gradient, pixels.size() / 2);
  EXPECT_EQ(RGB(0, 128, 128), pixels[pixels.size() - static_cast<size_t>(w) + 2]);  // bottom
}

}  // namespace
