// Message boxes, the file-open dialog and a wizard sheet, answered by
// UIDRIVER.EXE running beside the test as a person at the screen would.
#include "platform/win32/win32_api.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

namespace {

const char kCaption[] = "SOLVANE 32 for Windows NT Setup";

std::string ModuleDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.rfind('\\'));
}

std::string Hex(HWND window) {
  char buffer[32];
  snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  return buffer;
}

void PumpOnce() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// UIDRIVER.EXE with its output in a file.
class Driver {
 public:
  explicit Driver(const std::string& arguments) {
    static int serial = 0;
    output_ = ModuleDirectory() + "\\uidriver" + std::to_string(++serial) + ".txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(output_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string command = "\"" + ModuleDirectory() + "\\UIDRIVER.EXE\" " + arguments;
    started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                              &process_) != FALSE;
    CloseHandle(out);
  }
  ~Driver() {
    if (started_) {
      if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 99);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }

  // Waits for the driver to end while this thread keeps its windows alive;
  // its exit code, or -1 when it did not end in time.
  int Finish(DWORD timeout = 40000) {
    if (!started_) return -2;
    DWORD start = GetTickCount();
    for (;;) {
      DWORD wait = MsgWaitForMultipleObjects(1, &process_.hProcess, FALSE, 100, QS_ALLINPUT);
      if (wait == WAIT_OBJECT_0) break;
      PumpOnce();
      if (GetTickCount() - start > timeout) return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
  }

  // Its output lines (console line ends taken off).
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    HANDLE in = CreateFileA(output_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return lines;
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(in, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(in);
    std::string line;
    for (char c : text) {
      if (c == '\r') continue;
      if (c == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
  }

 private:
  std::string output_;
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

std::vector<std::string> Tail(const std::vector<std::string>& lines) {
  return lines.empty() ? lines : std::vector<std::string>(lines.begin() + 1, lines.end());
}

class Win32Ui : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.Install();
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

TEST_F(Win32Ui, TheDriverTimesOutWhenNoBoxComes) {
  Driver driver("box 300");
  EXPECT_EQ(1, driver.Finish());
  EXPECT_EQ(std::vector<std::string>{"timeout box"}, driver.Lines());
}

TEST_F(Win32Ui, TheDriverFindsWindowsProcessesAndTheScreen) {
  char pid[32];
  snprintf(pid, sizeof pid, "%lu", GetCurrentProcessId());
  const std::string ours = "window " + Hex(main_) + " " + pid + " Static SV main window";
  {
    Driver driver("list");
    ASSERT_EQ(0, driver.Finish());
    std::vector<std::string> lines = driver.Lines();
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), ours));
  }
  {
    Driver driver("wait-window \"SV main*\" 5000");
    EXPECT_EQ(0, driver.Finish());
    EXPECT_EQ(std::vector<std::string>{ours}, driver.Lines());
  }
  {
    Driver driver("wait-gone \"SV main window\" 300");
    EXPECT_EQ(1, driver.Finish());
    EXPECT_EQ(std::vector<std::string>{"timeout wait-gone SV main window"}, driver.Lines());
  }
  {
    Driver driver(std::string("wait-exit ") + pid + " 300");
    EXPECT_EQ(1, driver.Finish());
    Driver gone("wait-exit nosuch.exe 300");
    EXPECT_EQ(0, gone.Finish());
    EXPECT_EQ(std::vector<std::string>{"exited nosuch.exe"}, gone.Lines());
  }
  {
    const std::string shot = ModuleDirectory() + "\\screen.bmp";
    Driver driver("screenshot " + shot);
    ASSERT_EQ(0, driver.Finish());
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::string printed;  // the driver prints a backslash as two
    for (char c : shot) printed += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_EQ((std::vector<std::string>{"screenshot " + printed + " " + std::to_string(width) + "x" +
                                        std::to_string(height)}),
              driver.Lines());
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(shot.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(54u + 4u * static_cast<unsigned>(width) * static_cast<unsigned>(height), data.nFileSizeLow);
  }
  {
    Driver driver("frobnicate");
    EXPECT_EQ(2, driver.Finish());
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

// --- A wizard sheet ---------------------------------------------------------------

struct SheetState {
  std::string typed;
  bool finished = false;
};
SheetState g_sheet;

INT_PTR CALLBACK FirstPage(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_NOTIFY) return FALSE;
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code == PSN_SETACTIVE) {
    PropSheet_SetWizButtons(GetParent(page), PSWIZB_NEXT);
  } else if (header->code == PSN_WIZNEXT) {
    char text[256] = {};
    GetDlgItemTextA(page, 1011, text, sizeof text);
    g_sheet.typed = text;
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK SecondPage(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_NOTIFY) return FALSE;
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code == PSN_SETACTIVE) {
    PropSheet_SetWizButtons(GetParent(page), PSWIZB_BACK | PSWIZB_FINISH);
  } else if (header->code == PSN_WIZFINISH) {
    g_sheet.finished = true;
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
  }
  return FALSE;
}

TEST_F(Win32Ui, TheDriverWorksAWizardSheetPageByPage) {
  g_sheet = SheetState();
  PROPSHEETPAGEA pages[2] = {};
  DLGPROC procs[2] = {FirstPage, SecondPage};
  HPROPSHEETPAGE handles[2];
  for (int i = 0; i < 2; ++i) {
    pages[i].dwSize = sizeof pages[i];
    pages[i].hInstance = GetModuleHandleA(nullptr);
    pages[i].pszTemplate = MAKEINTRESOURCEA(9001 + i);
    pages[i].pfnDlgProc = procs[i];
    handles[i] = CreatePropertySheetPageA(&pages[i]);
    ASSERT_NE(nullptr, handles[i]);
  }
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_WIZARD | PSH_MODELESS;
  header.hwndParent = main_;
  header.hInstance = GetModuleHandleA(nullptr);
  header.nPages = 2;
  header.phpage = handles;
  HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
  ASSERT_NE(nullptr, sheet);

  auto run = [](const std::string& arguments) {
    Driver driver(arguments);
    int code = driver.Finish();
    std::vector<std::string> lines = driver.Lines();
    lines.insert(lines.begin(), "exit " + std::to_string(code));
    return lines;
  };
  auto first = run("wait-page 9001 20000");
  ASSERT_EQ(2u, first.size());
  EXPECT_EQ("exit 0", first[0]);
  EXPECT_EQ(0u, first[1].find("page 9001 0 ")) << first[1];

  EXPECT_EQ((std::vector<std::string>{"exit 0", "settext 1011"}), run("settext 1011 C:\\SOLVANE"));
  EXPECT_EQ((std::vector<std::string>{"exit 0", "clicked 1012"}), run("click 1012"));
  EXPECT_EQ((std::vector<std::string>{"exit 0", "state enabled=1 visible=1 checked=1"}), run("state 1012"));
  EXPECT_EQ((std::vector<std::string>{"exit 0", "text First page"}), run("text 1013"));
  EXPECT_EQ((std::vector<std::string>{"exit 1", "notfound 4242"}), run("text 4242"));
  // Finish is not offered on the first page.
  EXPECT_EQ((std::vector<std::string>{"exit 1", "timeout press finish"}), run("press finish 500"));
  EXPECT_EQ((std::vector<std::string>{"exit 0", "pressed next"}), run("press next"));

  auto second = run("wait-page 9002 20000");
  ASSERT_EQ(2u, second.size());
  EXPECT_EQ(0u, second[1].find("page 9002 1 ")) << second[1];
  EXPECT_EQ("C:\\SOLVANE", g_sheet.typed);
  EXPECT_EQ((std::vector<std::string>{"exit 0", "text Second page\\r\\nsecond line"}), run("text 1013"));
  EXPECT_EQ((std::vector<std::string>{"exit 0", "pressed finish"}), run("press finish"));
  for (int i = 0; i < 100 && !g_sheet.finished; ++i) {
    Sleep(20);
    PumpOnce();
  }
  EXPECT_TRUE(g_sheet.finished);
  DestroyWindow(sheet);
}

}  // namespace

