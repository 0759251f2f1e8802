// LoadKitData on the real file system, with the real message box and file-open
// dialog answered by UIDRIVER.EXE as a person at the screen would.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <string>

#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"
#include "wine/uidriver_client.h"

namespace {

class KitLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = CreateWindowA("STATIC", "SV main window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                          200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, main_);
    svp::Win32SetMainWindow(main_);
    log_ = ModuleDirectory() + "\\kitload.log";
    ASSERT_TRUE(SvOpenLog(log_));
  }
  void TearDown() override {
    SvCloseLog();
    svp::Win32SetMainWindow(nullptr);
    if (IsWindow(main_)) DestroyWindow(main_);
  }
  std::string Log() {
    SvCloseLog();
    return ReadBytes(log_);
  }

  svp::Win32Platform platform_;
  svp::ScopedPlatform installed_{platform_.Parts()};
  CSvMacroList macros_{svp::kHKeyLocalMachine, "Software\\SvTestKitLoad"};
  HWND main_ = nullptr;
  std::string log_;
};

TEST_F(KitLoad, CancelledKitLocationDialogGivesUpAfterOneLogLine) {
  const std::string dir = ModuleDirectory() + "\\empty";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string path = dir + "\\KITPURGE.DAT";
  CSvKit kit(nullptr, &macros_, nullptr);
  Driver box("box 20000 --answer ok");
  // The plain system dialog, under its own title.
  Driver dialog("cancel-dialog Open 30000");
  EXPECT_EQ(8u, kit.LoadKitData(dir.c_str(), "KITPURGE.DAT"));
  EXPECT_EQ(0, box.Finish());
  EXPECT_EQ(0, dialog.Finish());
  EXPECT_EQ("Error loading kit data file " + path + ",  OS returned error 2\r\n", Log());

  std::string expected = "text Could not open kit data file ";
  for (char c : path) expected += c == '\\' ? std::string("\\\\") : std::string(1, c);
  expected += "\\r\\nPress OK to browse for the SOLVANE for Windows NT kit location.";
  const std::string shown = box.Output();
  EXPECT_NE(std::string::npos, shown.find(expected)) << shown;
  EXPECT_NE(std::string::npos, shown.find("icon exclamation")) << shown;
  std::string root;
  EXPECT_EQ(2u, macros_.GetMacroValue("LDID_KITROOT", root));
}

}  // namespace
