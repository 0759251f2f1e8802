// Persistent macros: one REG_SZ value per macro under the table's key.
#include <cstring>

#include "macros/macros.h"
#include "textedit/texthelpers.h"

uint32_t CSvMacroList::LoadMacroFromRegistry(const char* name) {
  if (name == nullptr) return kSvMacroMissingArgument;
  CSvMacro* macro = Find(name);
  if (macro == nullptr) return kSvMacroNotFound;

  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  if (reg.OpenKey(root_, subKey_, svp::kKeyQueryValue, &key) != 0) return kSvMacroRegistryFailed;
  uint8_t buffer[255] = {};
  uint32_t size = sizeof(buffer);
  uint32_t type = 0;
  const uint32_t status = reg.QueryValue(key, name, &type, buffer, &size);
  reg.CloseKey(key);
  if (status != 0) return kSvMacroRegistryFailed;
  if (type != svp::kRegSz) return kSvMacroNotString;

  // The data need not carry its terminator; stop at the first NUL within it.
  const size_t stored = size < sizeof(buffer) ? size : sizeof(buffer);
  const void* nul = std::memchr(buffer, 0, stored);
  const size_t length = nul != nullptr ? static_cast<const uint8_t*>(nul) - buffer : stored;
  const std::string text(reinterpret_cast<const char*>(buffer), length);
  macro->SetValue(text);
  macro->SetSavedValue(text);
  return kSvMacroOk;
}

uint32_t CSvMacroList::SaveMacrosToRegistry(const char* filter) {
  // No filter names no macro: nothing to write, and the key is left alone.
  if (filter == nullptr) return kSvMacroOk;
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  bool created = false;
  if (reg.CreateKey(root_, subKey_, svp::kRegOptionNonVolatile, svp::kKeyAllAccess, &key,
                    &created) != 0) {
    return kSvMacroRegistryFailed;
  }
  const bool all = std::strcmp(filter, "*") == 0;
  std::string name;
  std::string value;
  for (const auto& entry : macros_) {
    const CSvMacro* macro = entry.second;
    macro->GetName(name);
    if (!all && !SvEqualNoCase(name, filter)) continue;
    if ((macro->GetFlags() & SV_MACRO_VOLATILE) != 0) continue;
    macro->GetValue(value);
    if (name == "LDID_SV" || name == "TNP_DatabasePath") {
      // The installer's readers expect 8.3 directory names here.
      std::string shortForm;
      const uint32_t length = svp::Fs().GetShortPathName(value, 260, &shortForm);
      if (length > 0 && length < 260) value = shortForm;
    }
    const uint32_t status =
        reg.SetValue(key, name, svp::kRegSz, reinterpret_cast<const uint8_t*>(value.c_str()),
                     static_cast<uint32_t>(value.size() + 1));
    if (status != 0) {
      reg.CloseKey(key);
      return kSvMacroRegistryFailed;
    }
  }
  reg.CloseKey(key);
  return kSvMacroOk;
}
