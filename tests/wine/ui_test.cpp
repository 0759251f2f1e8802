// Message boxes and the file-open dialog, answered by UIDRIVER.EXE running
// beside the test as a person at the screen would.
#include "platform/win32/win32_api.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

std::vector<std::string> Tail(const std::vector<std::string>& lines) {
  return lines.empty() ? lines : std::vector<std::string>(lines.begin() + 1, lines.end());
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
    svp::Win32SetMainWindow(nullptr);
    if (IsWindow(main_)) DestroyWindow(main_);
  }

  svp::Win32Platform platform_;
  svp::ScopedPlatform installed_{platform_.Parts()};
  HWND main_ = nullptr;
};

TEST_F(Win32Ui, AnOwnedQuestionBoxShowsItsTextIconAndButtonsAndReturnsTheAnswer) {
  Driver driver("box 20000 --answer no");
  EXPECT_EQ(svp::kIdNo, svp::Ui().MessageBox("Remove SOLVANE?\r\nSecond line", kCaption, 0x24, true));
  ASSERT_EQ(0, driver.Finish());
  std::vector<std::string> lines = driver.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(std::string::npos, lines[0].find(" owner " + Hex(main_) + " caption " + kCaption)) << lines[0];
  EXPECT_EQ((std::vector<std::string>{"text Remove SOLVANE?\\r\\nSecond line", "icon question",
                                      "button 6 &Yes", "button 7 &No", "answered 7"}),
            Tail(lines));
}

TEST_F(Win32Ui, UnownedBoxesAndTheirIcons) {
  {
    Driver driver("box 20000 --answer ok");
    EXPECT_EQ(svp::kIdOk, svp::Ui().MessageBox("Load NETCFG.DLL failed.", kCaption, 0x10, false));
    ASSERT_EQ(0, driver.Finish());
    std::vector<std::string> lines = driver.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(std::string::npos, lines[0].find(" owner 0x0 ")) << lines[0];
    EXPECT_EQ((std::vector<std::string>{"text Load NETCFG.DLL failed.", "icon stop", "button 1 OK", "answered 1"}),
              Tail(lines));
  }
  {
    // A main window that is gone no longer owns anything.
    DestroyWindow(main_);
    Driver driver("box 20000 --caption Other --answer ok");
    EXPECT_EQ(svp::kIdOk, svp::Ui().MessageBox("Careful", "Other", 0x30, true));
    ASSERT_EQ(0, driver.Finish());
    std::vector<std::string> lines = driver.Lines();
    ASSERT_EQ(5u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(" owner 0x0 caption Other")) << lines[0];
    EXPECT_EQ("icon exclamation", lines[2]);
  }
  {
    Driver driver("box 20000 --caption \"Installation Error\" --answer retry");
    EXPECT_EQ(svp::kIdRetry, svp::Ui().MessageBox("Access denied", "Installation Error", 0x22, false));
    ASSERT_EQ(0, driver.Finish());
    EXPECT_EQ((std::vector<std::string>{"text Access denied", "icon question", "button 3 &Abort",
                                        "button 4 &Retry", "button 5 &Ignore", "answered 4"}),
              Tail(driver.Lines()));
  }
}

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
  {
    svp::OpenFileRequest folder;
    folder.title = "Specify Directory";
    folder.initialDirectory = directory;
    folder.directoryOnly = true;
    Driver driver("file-dialog \"Specify Directory\" \"" + directory + "\\any name\" 20000");
    EXPECT_TRUE(svp::Ui().GetOpenFileName(folder, &chosen));
    EXPECT_EQ(0, driver.Finish());
    EXPECT_EQ(directory + "\\", chosen.substr(0, directory.size() + 1)) << chosen;
  }
}

}  // namespace

