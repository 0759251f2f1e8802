#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_internal.h"

namespace svp {

struct Win32Platform::Parts {
  win32::FileSystem files;
  win32::Registry registry;
  win32::System system;
  win32::UserInterface ui;
  win32::Shell shell;
  win32::NetSetup net;
};

Win32Platform::Win32Platform() : parts_(new Parts) {}

Win32Platform::~Win32Platform() {
  // Leave no dangling platform behind for code that runs after us.
  Platform& current = Get();
  if (current.fs == &parts_->files) {
    Platform empty;
    empty.sheets = current.sheets;
    empty.dialogs = current.dialogs;
    svp::Install(empty);
  }
}

void Win32Platform::Install() {
  Platform platform = Get();
  platform.fs = &parts_->files;
  platform.reg = &parts_->registry;
  platform.sys = &parts_->system;
  platform.ui = &parts_->ui;
  platform.shell = &parts_->shell;
  platform.net = &parts_->net;
  svp::Install(platform);
}

IFileSystem& Win32Platform::files() { return parts_->files; }
IRegistry& Win32Platform::registry() { return parts_->registry; }
ISystem& Win32Platform::system() { return parts_->system; }
IUserInterface& Win32Platform::ui() { return parts_->ui; }
IShell& Win32Platform::shell() { return parts_->shell; }
INetSetup& Win32Platform::net() { return parts_->net; }

}  // namespace svp
