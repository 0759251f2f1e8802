#include "platform/win32/win32_internal.h"

namespace svp {
namespace win32 {

bool Shell::GetSpecialFolderPath(int csidl, std::string* path) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(OwnerWindow(), csidl, &list)) || list == nullptr)
    return false;
  char buffer[MAX_PATH + 1] = {};
  BOOL ok = ::SHGetPathFromIDListA(list, buffer);
  // The list belongs to the shell's allocator.
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator != nullptr) {
    allocator->Free(list);
    allocator->Release();
  }
  if (!ok || buffer[0] == '\0') return false;
  std::string result(buffer);
  if (result.size() > 3 && result.back() == '\\') result.pop_back();
  if (path != nullptr) *path = result;
  return true;
}

void Shell::OpenDocument(const std::string& path) {
  ::ShellExecuteA(::GetDesktopWindow(), "open", path.c_str(), nullptr, "", SW_SHOW);
}

void Shell::InitializeCom() { ::CoInitialize(nullptr); }

void Shell::UninitializeCom() { ::CoUninitialize(); }

}  // namespace win32
}  // namespace svp
