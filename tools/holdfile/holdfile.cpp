// HOLDFILE.EXE <path>: keeps a file open without sharing, as a running
// program of the product would, until Windows ends the session (or the
// process is ended).  Used by the demo and the Wine tests to leave a file
// that can only go at the next restart.
#include <windows.h>

namespace {

HANDLE g_file = INVALID_HANDLE_VALUE;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) {
        CloseHandle(g_file);
        ExitProcess(0);
      }
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  if (commandLine == nullptr || *commandLine == '\0') return 2;
  g_file = CreateFileA(commandLine, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_file == INVALID_HANDLE_VALUE) return 1;

  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "SvHoldFile";
  RegisterClassA(&wc);
  // A hidden top-level window, so that the end of the session reaches us.
  CreateWindowA("SvHoldFile", "SOLVANE 32 Agent", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                instance, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  CloseHandle(g_file);
  return 0;
}
