// The Win32 platform's system, shell and message-loop parts on a real
// (Wine) workstation.  Files, registry and the answers both platforms share
// are the conformance suite's.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "res/stringtable.h"
#include "wine/uidriver_client.h"

namespace {

class Win32System : public ::testing::Test {
 protected:
  svp::Win32Platform platform_;
  svp::ScopedPlatform installed_{platform_.Parts()};
};

TEST_F(Win32System, StringsComeFromTheProgramsResourcesAsTheTableHasThem) {
  size_t count = 0;
  const SvStringEntry* table = SvStringTable(&count);
  ASSERT_GT(count, 50u);
  for (size_t i = 0; i < count; ++i) {
    std::string text = "unchanged";
    bool found = svp::Sys().LoadString(table[i].id, &text);
    if (table[i].text[0] == '\0') {
      EXPECT_FALSE(found) << "empty entry " << table[i].id << " must count as missing";
      EXPECT_EQ("unchanged", text);
    } else {
      EXPECT_TRUE(found) << table[i].id;
      EXPECT_EQ(table[i].text, text) << table[i].id;
    }
  }
  std::string text;
  EXPECT_FALSE(svp::Sys().LoadString(1, &text));
  EXPECT_FALSE(svp::Sys().LoadString(65000, &text));
}

TEST_F(Win32System, VersionRecordOfTheNtPlatform) {
  svp::OsVersion version;
  ASSERT_TRUE(svp::Sys().GetVersionEx(&version));
  EXPECT_EQ(2u, version.platformId);
  EXPECT_GE(version.major, 4u);
  EXPECT_GT(version.build, 0u);

  // The size field decides what is asked for; a wrong one is refused.
  svp::OsVersion wrong;
  wrong.size = 20;
  EXPECT_FALSE(svp::Sys().GetVersionEx(&wrong));
  EXPECT_EQ(0u, wrong.major);
}

TEST_F(Win32System, CommandLineArgumentsFollowTheProgramName) {
  EXPECT_EQ("/SILENT /L", svp::Win32CommandLineArgs("\"C:\\Program Files\\KITPURGE.EXE\"  /SILENT /L"));
  EXPECT_EQ("-NOCOPY  x", svp::Win32CommandLineArgs("KITPURGE.EXE\t -NOCOPY  x"));
  EXPECT_EQ("", svp::Win32CommandLineArgs("KITPURGE.EXE"));
  EXPECT_EQ("", svp::Win32CommandLineArgs("\"C:\\A B\\K.EXE"));
  EXPECT_EQ("/a", svp::Win32CommandLineArgs("\"\" /a"));
  EXPECT_EQ("", svp::Win32CommandLineArgs(nullptr));
}

TEST_F(Win32System, EnvironmentAndDirectories) {
  ASSERT_TRUE(SetEnvironmentVariableA("SV_TEST_VALUE", "C:\\SOLVANE;C:\\BIN"));
  std::string value;
  EXPECT_TRUE(svp::Sys().GetEnvironmentVariable("SV_TEST_VALUE", &value));
  EXPECT_EQ("C:\\SOLVANE;C:\\BIN", value);
  // Set to nothing is still set, as the in-memory workstation has it.
  ASSERT_TRUE(SetEnvironmentVariableA("SV_TEST_VALUE", ""));
  EXPECT_TRUE(svp::Sys().GetEnvironmentVariable("SV_TEST_VALUE", &value));
  EXPECT_EQ("", value);
  SetEnvironmentVariableA("SV_TEST_VALUE", nullptr);
  value = "unchanged";
  EXPECT_FALSE(svp::Sys().GetEnvironmentVariable("SV_TEST_VALUE", &value));
  EXPECT_EQ("unchanged", value);

  std::string windows, system;
  ASSERT_GT(svp::Sys().GetWindowsDirectory(&windows), 3u);
  ASSERT_GT(svp::Sys().GetSystemDirectory(&system), windows.size());
  EXPECT_EQ(windows + "\\", system.substr(0, windows.size() + 1));
  EXPECT_EQ(0, svp::Fs().AccessExists(system));
}

// A program that is not there; its start from the current directory is the
// end-to-end tests' (the Sockets clean-up stand-in).
TEST_F(Win32System, StartProcessOfAMissingProgramFailsWithFileNotFound) {
  EXPECT_EQ(svp::kErrFileNotFound, svp::Sys().StartProcess("nosuch.exe", HIGH_PRIORITY_CLASS));
}

TEST_F(Win32System, SpecialFoldersAreExistingDirectoriesWithoutTrailingBackslash) {
  for (int csidl : {svp::kCsidlCommonPrograms, svp::kCsidlDesktop}) {
    std::string path;
    ASSERT_TRUE(svp::Shell().GetSpecialFolderPath(csidl, &path)) << csidl;
    EXPECT_EQ(':', path[1]) << path;
    EXPECT_NE('\\', path.back()) << path;
    EXPECT_NE(svp::kInvalidAttributes, svp::Fs().GetFileAttributes(path)) << path;
    EXPECT_TRUE(svp::Fs().GetFileAttributes(path) & svp::kAttrDirectory) << path;
  }
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    ++*reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Win32System, PumpDispatchesWaitingMessagesAndLeavesTheQuitForTheMainLoop) {
  WNDCLASSA cls = {};
  cls.lpfnWndProc = CountingProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "SvPumpTest";
  RegisterClassA(&cls);
  HWND window = CreateWindowA("SvPumpTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
  ASSERT_NE(nullptr, window);
  int count = 0;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));

  PostMessageA(window, WM_APP, 0, 0);
  PostMessageA(window, WM_APP, 0, 0);
  svp::Ui().PumpMessages();
  EXPECT_EQ(2, count);

  PostMessageA(window, WM_APP, 0, 0);
  PostQuitMessage(7);
  svp::Ui().PumpMessages();
  EXPECT_EQ(3, count);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7u, message.wParam);

  // After a look that found the queue empty the next may be left out, but a
  // message waits no longer than the look's interval.
  svp::Ui().PumpMessages();
  PostMessageA(window, WM_APP, 0, 0);
  Sleep(50);
  svp::Ui().PumpMessages();
  EXPECT_EQ(4, count);
  DestroyWindow(window);
}

TEST_F(Win32System, WaitCursorNestsAndRestoresTheCursorBefore) {
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
  SetCursor(arrow);
  svp::Ui().BeginWaitCursor();
  EXPECT_EQ(wait, GetCursor());
  svp::Ui().BeginWaitCursor();
  svp::Ui().EndWaitCursor();
  EXPECT_EQ(wait, GetCursor());
  svp::Ui().EndWaitCursor();
  EXPECT_EQ(arrow, GetCursor());
  svp::Ui().EndWaitCursor();  // unbalanced: no effect
  EXPECT_EQ(arrow, GetCursor());
}

}  // namespace
