// LoadKitData on the real file system, with the real message box and file-open
// dialog answered by UIDRIVER.EXE as a person at the screen would.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

namespace {

std::string ModuleDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.rfind('\\'));
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

// UIDRIVER.EXE running one command beside the test, its output in a file.
class Driver {
 public:
  explicit Driver(const std::string& arguments) {
    static int serial = 0;
    output_ = ModuleDirectory() + "\\kitdriver" + std::to_string(++serial) + ".txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(output_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string command = "\"" + ModuleDirectory() + "\\UIDRIVER.EXE\" " + arguments;
    started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &process_) != FALSE;
    CloseHandle(out);
  }
  ~Driver() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 99);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }

  // The driver's exit code (0: done), keeping this thread's windows alive.
  int Finish(DWORD timeout = 40000) {
    if (!started_) return -2;
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &process_.hProcess, FALSE, 100, QS_ALLINPUT) !=
           WAIT_OBJECT_0) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      if (GetTickCount() - start > timeout) return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
  }

  std::string Output() const { return ReadBytes(output_); }

 private:
  std::string output_;
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

class KitLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.Install();
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
  CSvMacroList macros_{svp::kHKeyLocalMachine, "Software\\SvTestKitLoad"};
  HWND main_ = nullptr;
  std::string log_;
};

TEST_F(KitLoad, KitBesideTheProgramLoadsFromARelativeDirectory) {
  const std::string dir = ModuleDirectory() + "\\kit";
  CreateDirectoryA(dir.c_str(), nullptr);
  WriteBytes(dir + "\\KITPURGE.DAT",
             "VERSION,0x1000048\r\n"
             "; program files\r\n"
             "COPY,a.dll,a.dll,{LDID_KITROOT}\\bin,{LDID_SV},G1,0,2048\r\n"
             "DELETE,a.ini,{LDID_WIN},G1,0,0\r\n");
  ASSERT_TRUE(SetCurrentDirectoryA(ModuleDirectory().c_str()));
  CSvKit kit(nullptr, &macros_, nullptr);
  ASSERT_EQ(0u, kit.LoadKitData("kit", "KITPURGE.DAT"));
  EXPECT_EQ(dir, kit.GetKitDirectory());
  std::string root;
  macros_.GetMacroValue("LDID_KITROOT", root);
  EXPECT_EQ(dir, root);
  ASSERT_NE(nullptr, kit.FindGroup("G1"));
  std::vector<std::string> files;
  for (CSvFile* file : *kit.FindGroup("G1")) files.push_back(file->GetSourceName());
  EXPECT_EQ((std::vector<std::string>{"a.ini", "a.dll"}), files);
  EXPECT_EQ(3u, kit.Locations().size());
  EXPECT_EQ("", Log());
}

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
