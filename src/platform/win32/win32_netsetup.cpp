#include <cwchar>

#include "platform/win32/win32_internal.h"

namespace svp {
namespace win32 {

namespace {

// The library's texts are wide, in buffers of 260 characters.
constexpr int kWideChars = 260;

// The order in which the entry points are bound; the first missing one ends
// the binding.
const char* const kEntryNames[6] = {
    "NetSetupReviewBindings",   "NetSetupFindSoftwareComponent", "NetSetupFindHardwareComponent",
    "NetSetupComponentInstall", "NetSetupComponentRemove",       "NetSetupComponentProperties",
};
enum { kReview = 0, kFindSoftware = 1, kRemove = 4 };

// Answer of a call made while the library is not bound: the library's own
// "Not bound" code, so the caller's error text names the situation.
constexpr uint32_t kNotBound = 1206;

void ToWide(const std::string& text, wchar_t (&out)[kWideChars]) {
  int n = 0;
  if (!text.empty()) {
    n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out,
                              kWideChars - 1);
    if (n == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      // Longer than the buffer: keep what fits, as a fixed buffer would.
      std::wstring whole(text.size(), L'\0');
      int all = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      &whole[0], static_cast<int>(whole.size()));
      n = all < kWideChars - 1 ? all : kWideChars - 1;
      if (n > 0) std::wmemcpy(out, whole.data(), static_cast<size_t>(n));
    }
  }
  out[n > 0 ? n : 0] = L'\0';
}

std::string FromWide(const wchar_t* text, size_t length) {
  if (length == 0) return std::string();
  int n = ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr,
                                nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
  return out;
}

}  // namespace

// Entry points are looked up untyped; each goes through the generic function
// pointer type on its way to its own type.
template <typename Fn>
Fn EntryAs(FARPROC entry) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(entry));
}

NetSetup::NetSetup(std::string libraryName) : libraryName_(std::move(libraryName)) {}

NetSetup::~NetSetup() { Free(); }

uint32_t NetSetup::Load() {
  Free();
  library_ = ::LoadLibraryA(libraryName_.c_str());
  if (library_ == nullptr) return 2;
  for (int i = 0; i < 6; ++i) {
    entries_[i] = ::GetProcAddress(library_, kEntryNames[i]);
    if (entries_[i] == nullptr) return 4;
  }
  return 0;
}

void NetSetup::Free() {
  for (auto& entry : entries_) entry = nullptr;
  if (library_ != nullptr) {
    ::FreeLibrary(library_);
    library_ = nullptr;
  }
}

bool NetSetup::IsLoaded() const {
  if (library_ == nullptr) return false;
  for (auto entry : entries_)
    if (entry == nullptr) return false;
  return true;
}

uint32_t NetSetup::FindSoftwareComponent(const std::string& option, std::string* infName) {
  if (!IsLoaded()) return kNotBound;
  wchar_t wideOption[kWideChars];
  wchar_t inf[kWideChars];
  ToWide(option, wideOption);
  // The buffer goes in holding the caller's text (the INF path it expects).
  ToWide(infName ? *infName : std::string(), inf);
  DWORD size = kWideChars;
  auto find = EntryAs<FindComponentFn>(entries_[kFindSoftware]);
  DWORD result = find(wideOption, inf, &size, nullptr, nullptr);
  if (result == 0 && infName != nullptr) {
    inf[kWideChars - 1] = L'\0';
    size_t length = std::wcslen(inf);
    if (size < length) length = size;
    *infName = FromWide(inf, length);
  }
  return result;
}

uint32_t NetSetup::ComponentRemove(const std::string& option, uint32_t* infResult) {
  if (!IsLoaded()) return kNotBound;
  wchar_t wideOption[kWideChars];
  ToWide(option, wideOption);
  DWORD inf = 0;
  auto remove = EntryAs<ComponentRemoveFn>(entries_[kRemove]);
  DWORD result = remove(OwnerWindow(), wideOption, 3, &inf);
  if (infResult != nullptr) *infResult = inf;
  return result;
}

uint32_t NetSetup::ReviewBindings() {
  if (!IsLoaded()) return kNotBound;
  auto review = EntryAs<ReviewBindingsFn>(entries_[kReview]);
  return review(OwnerWindow());
}

}  // namespace win32
}  // namespace svp
