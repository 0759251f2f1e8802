#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_sheet.h"
#include "platform/win32/win32_internal.h"

namespace svp {

struct Win32Platform::Impl {
  win32::FileSystem files;
  win32::Registry registry;
  win32::System system;
  win32::UserInterface ui;
  win32::Shell shell;
  win32::NetSetup net;
  Win32SheetHost sheets;
  Win32Dialogs dialogs;
};

Win32Platform::Win32Platform() : impl_(new Impl) {}

Win32Platform::~Win32Platform() = default;

Platform Win32Platform::Parts() {
  Platform platform;
  platform.fs = &impl_->files;
  platform.reg = &impl_->registry;
  platform.sys = &impl_->system;
  platform.ui = &impl_->ui;
  platform.shell = &impl_->shell;
  platform.net = &impl_->net;
  platform.sheets = &impl_->sheets;
  platform.dialogs = &impl_->dialogs;
  return platform;
}

IFileSystem& Win32Platform::files() { return impl_->files; }
IRegistry& Win32Platform::registry() { return impl_->registry; }
ISystem& Win32Platform::system() { return impl_->system; }
IUserInterface& Win32Platform::ui() { return impl_->ui; }
IShell& Win32Platform::shell() { return impl_->shell; }
INetSetup& Win32Platform::net() { return impl_->net; }

}  // namespace svp
