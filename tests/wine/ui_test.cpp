// Message boxes, the file-open dialog and the kit's location question,
// answered by UIDRIVER.EXE running beside the test as a person at the screen
// would.
#include "platform/win32/win32_api.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"
#include "wine/uidriver_client.h"

namespace {

const char kCaption[] = "SOLVANE 32 for Windows NT Setup";

std::string Hex(HWND window) {
  char buffer[32];
  snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  return buffer;
}

class Win32Ui : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCommonControls();
    main_ = CreateWindowA("STATIC", "SV main window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, main_);
    svp::Win32SetMainWindow(main_);
  }
  void TearDown() override {
    SvCloseLog();
    svp::Win32SetMainWindow(nullptr);
    if (IsWindow(main_)) DestroyWindow(main_);
  }

  svp::Win32Platform platform_;
  svp::ScopedPlatform installed_{platform_.Parts()};
  HWND main_ = nullptr;
};

TEST_F(Win32Ui, BoxesShowTheirOwnerTextIconAndButtonsAndReturnTheAnswer) {
  const struct {
    const char* text;
    const char* caption;
    uint32_t type;
    bool owned;
    const char* answer;
    int result;
    std::vector<std::string> shown;  // after the owner line
  } boxes[] = {
      {"Remove SOLVANE?\r\nSecond line", kCaption, 0x24, true, "no", svp::kIdNo,
       {"text Remove SOLVANE?\\r\\nSecond line", "icon question", "button 6 &Yes", "button 7 &No", "answered 7"}},
      {"Access denied", "Installation Error", 0x22, false, "retry", svp::kIdRetry,
       {"text Access denied", "icon question", "button 3 &Abort", "button 4 &Retry", "button 5 &Ignore",
        "answered 4"}},
      // Last: a main window that is gone no longer owns anything.
      {"Careful", "Other", 0x30, true, "ok", svp::kIdOk,
       {"text Careful", "icon exclamation", "button 1 OK", "answered 1"}},
  };
  for (const auto& box : boxes) {
    const bool gone = std::string("Other") == box.caption;
    if (gone) DestroyWindow(main_);
    Driver driver(std::string("box 20000 --caption \"") + box.caption + "\" --answer " + box.answer);
    EXPECT_EQ(box.result, svp::Ui().MessageBox(box.text, box.caption, box.type, box.owned));
    ASSERT_EQ(0, driver.Finish());
    std::vector<std::string> lines = driver.Lines();
    ASSERT_FALSE(lines.empty());
    const std::string owner = box.owned && !gone ? Hex(main_) : "0x0";
    EXPECT_NE(std::string::npos, lines[0].find(" owner " + owner + " caption " + box.caption)) << lines[0];
    EXPECT_EQ(box.shown, std::vector<std::string>(lines.begin() + 1, lines.end()));
  }
}

// The directory-only chooser is the product-directory page's, driven end to end.
TEST_F(Win32Ui, FileOpenDialogCancelledAndAnswered) {
  const std::string directory = ModuleDirectory() + "\\pick";
  CreateDirectoryA(directory.c_str(), nullptr);
  HANDLE file = CreateFileA((directory + "\\KITPURGE.DAT").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  CloseHandle(file);

  svp::OpenFileRequest request;
  request.title = "Locating SOLVANE Kit";
  request.initialDirectory = directory;
  request.defaultExtension = "DAT";
  request.flags = svp::kOfnHideReadOnly;
  request.filters = {{"Installation File", "*.DAT"}, {"All Files", "*.*"}};
  std::string chosen = "unchanged";
  {
    Driver driver("cancel-dialog \"Locating SOLVANE Kit\" 20000");
    EXPECT_FALSE(svp::Ui().GetOpenFileName(request, &chosen));
    EXPECT_EQ(0, driver.Finish());
    EXPECT_EQ("unchanged", chosen);
  }
  {
    // The default extension completes a name typed without one.
    Driver driver("file-dialog \"Locating SOLVANE Kit\" KITPURGE 20000");
    EXPECT_TRUE(svp::Ui().GetOpenFileName(request, &chosen));
    EXPECT_EQ(0, driver.Finish());
    EXPECT_EQ(0, _stricmp((directory + "\\KITPURGE.DAT").c_str(), chosen.c_str())) << chosen;
  }
}

TEST_F(Win32Ui, CancelledKitLocationDialogGivesUpAfterOneLogLine) {
  const std::string dir = ModuleDirectory() + "\\empty", path = dir + "\\KITPURGE.DAT";
  const std::string log = ModuleDirectory() + "\\kitload.log";
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(SvOpenLog(log));
  CSvMacroList macros(svp::kHKeyLocalMachine, "Software\\SvTestKitLoad");
  CSvKit kit(nullptr, &macros, nullptr);
  Driver box("box 20000 --answer ok");
  // The plain system dialog, under its own title.
  Driver dialog("cancel-dialog Open 30000");
  EXPECT_EQ(8u, kit.LoadKitData(dir.c_str(), "KITPURGE.DAT"));
  EXPECT_EQ(0, box.Finish());
  EXPECT_EQ(0, dialog.Finish());
  SvCloseLog();
  EXPECT_EQ("Error loading kit data file " + path + ",  OS returned error 2\r\n", ReadBytes(log));

  std::string expected = "text Could not open kit data file ";
  for (char c : path) expected += c == '\\' ? std::string("\\\\") : std::string(1, c);
  expected += "\\r\\nPress OK to browse for the SOLVANE for Windows NT kit location.";
  const std::string shown = box.Output();
  EXPECT_NE(std::string::npos, shown.find(expected)) << shown;
  EXPECT_NE(std::string::npos, shown.find("icon exclamation")) << shown;
  std::string root;
  EXPECT_EQ(2u, macros.GetMacroValue("LDID_KITROOT", root));
}

}  // namespace
