#include "app/switches.h"

#include <cstring>

#include "log/svlog.h"

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// _strnicmp over C strings: stops at the first difference or the terminator,
// so a count beyond either name never reads past it.
bool EqualPrefixNoCase(const char* a, const char* b, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
    if (a[i] == '\0') return true;
  }
  return true;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && EqualPrefixNoCase(a.c_str(), b.c_str(), a.size());
}

}  // namespace

CSvSwitch::CSvSwitch(uint32_t id) : id_(id) { SvLoadString(id, &name_); }

CSvSwitchList::CSvSwitchList() { switches_.reserve(10); }

CSvSwitchList::~CSvSwitchList() {
  for (CSvSwitch* sw : switches_) delete sw;
  switches_.clear();
}

bool CSvSwitchList::AddSwitch(uint32_t id) {
  auto* added = new CSvSwitch(id);
  const std::string& name = added->GetName();
  if (name.empty()) {
    delete added;
    return false;
  }
  for (CSvSwitch* other : switches_) {
    const std::string& otherName = other->GetName();
    if (EqualNoCase(name, otherName)) continue;
    size_t k = 2;
    while (k <= name.size() && k <= otherName.size() &&
           EqualPrefixNoCase(name.c_str(), otherName.c_str(), k)) {
      ++k;
    }
    // The new name is a prefix of the other: it cannot be told apart by
    // abbreviation anyway, so neither length moves.
    if (k > name.size()) continue;
    const int length = static_cast<int>(k);
    if (added->GetMinLength() < length) added->SetMinLength(length);
    if (other->GetMinLength() < length) other->SetMinLength(length);
  }
  if (added->GetMinLength() == 0) added->SetMinLength(2);
  switches_.push_back(added);
  return true;
}

CSvSwitch* CSvSwitchList::MatchSwitch(const char* token) {
  if (token == nullptr) return nullptr;
  const size_t tokenLength = std::strlen(token);
  for (CSvSwitch* sw : switches_) {
    const int minLength = sw->GetMinLength();
    if (minLength < 0 || tokenLength < static_cast<size_t>(minLength)) continue;
    if (EqualPrefixNoCase(sw->GetName().c_str(), token, static_cast<size_t>(minLength))) {
      sw->Set(true);
      return sw;
    }
  }
  return nullptr;
}

bool CSvSwitchList::ParseSwitches(const char* text, const char* delimiters) {
  // The buffer keeps room for a terminator after 512 characters.
  std::memset(buffer_, 0, sizeof(buffer_));
  if (text != nullptr) std::strncpy(buffer_, text, sizeof(buffer_) - 1);
  for (CSvSwitch* sw : switches_) sw->Set(false);

  const char* delims = delimiters != nullptr ? delimiters : "";
  char* p = buffer_;
  for (;;) {
    p += std::strspn(p, delims);
    if (*p == '\0') return true;
    char* end = p + std::strcspn(p, delims);
    const bool last = *end == '\0';
    *end = '\0';
    if (MatchSwitch(p) == nullptr) return false;
    if (last) return true;
    p = end + 1;
  }
}

bool CSvSwitchList::IsSwitchSet(uint32_t id) const {
  for (const CSvSwitch* sw : switches_) {
    if (sw->GetId() == id) return sw->IsSet();
  }
  return false;
}
