// UIDRIVER.EXE running one command beside a C++ Wine test, as a person at the
// screen would answer what the test's thread shows.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>
#include <vector>

inline std::string ModuleDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.rfind('\\'));
}

inline std::string ReadBytes(const std::string& path) {
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
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }

  // The driver's exit code (0: done), or -1 when it did not end in time;
  // this thread's windows stay alive meanwhile.
  int Finish(DWORD timeout = 40000) {
    if (!started_) return -2;
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &process_.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
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

  // The output's lines, console line ends taken off.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines(1);
    for (char c : Output()) {
      if (c == '\n') lines.emplace_back();
      else if (c != '\r') lines.back() += c;
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
  }

 private:
  std::string output_;
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};
