// The real platform: every interface of platform/platform.h on the Win32 "A"
// calls.  This header stays free of <windows.h> so that portable test code can
// name the class.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace svp {

class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Every slot of the real platform, its property sheet and dialogs
  // included, for a ScopedPlatform to install.
  Platform Parts();

  IFileSystem& files();
  IRegistry& registry();
  ISystem& system();
  IUserInterface& ui();
  IShell& shell();
  INetSetup& net();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The arguments part of a command line: the program name (quoted or not) and
// the blanks after it removed, as the C runtime hands it to WinMain.
std::string Win32CommandLineArgs(const char* commandLine);

}  // namespace svp
