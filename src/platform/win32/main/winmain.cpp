// Entry point of KITPURGE.EXE: the platform, the one application object and
// the message loop.
#include "platform/win32/win32_api.h"

#include "app/setupapp.h"
#include "platform/win32/win32_platform.h"

namespace {
// Created before the entry point runs and destroyed after it returns.
CSetupApp g_theApp;
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  svp::Win32Platform platform;
  const svp::ScopedPlatform installed(platform.Parts());

  int quitCode = 0;
  if (g_theApp.InitInstance()) {
    MSG message = {};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (g_theApp.PreTranslateMessage(&message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    if (message.message == WM_QUIT) quitCode = static_cast<int>(message.wParam);
  }
  g_theApp.ExitInstance(quitCode);
  // Success, refusal and cancellation are told by boxes and the log only.
  return 0;
}
