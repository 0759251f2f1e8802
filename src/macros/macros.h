// The macro table: named string values, {NAME} expansion, boolean reading,
// and persistence of the non-volatile ones in the product's registry key.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "app/svobject.h"
#include "platform/platform.h"

enum : uint32_t {
  SV_MACRO_VOLATILE = 0x1,          // never written to the registry
  SV_MACRO_OVERWRITE = 0x80000000u  // AddMacro on an existing name replaces its value
};

class CSvMacro : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvMacro)
  CSvMacro(const std::string& name, const std::string& value, uint32_t flags);

  void GetName(std::string& out) const { out = name_; }
  void GetValue(std::string& out) const { out = value_; }
  void GetSavedValue(std::string& out) const { out = savedValue_; }
  void SetValue(const std::string& value) { value_ = value; }
  void SetSavedValue(const std::string& value) { savedValue_ = value; }
  uint32_t GetFlags() const { return flags_; }

 private:
  std::string name_;
  std::string value_;
  std::string savedValue_;
  uint32_t flags_;
};

class CSvMacroList : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvMacroList)
  CSvMacroList(svp::RegKey root, const std::string& subKey);
  ~CSvMacroList() override;
  CSvMacroList(const CSvMacroList&) = delete;
  CSvMacroList& operator=(const CSvMacroList&) = delete;

  uint32_t AddMacro(const char* name, const char* value, uint32_t flags);  // 0 / 1
  uint32_t SetMacroValue(const char* name, const char* value);              // 0 / 2 / 5
  uint32_t GetMacroValue(const char* name, std::string& out) const;         // 0 / 2 (out = name) / 5
  uint32_t GetSavedMacroValue(const char* name, std::string& out) const;    // 0 / 2 / 5
  uint32_t RestoreMacro(const char* name);                                  // "*" = all
  void SetMacroBool(const char* name, int flag);
  bool IsMacroTrue(const char* expression) const;
  uint32_t ExpandMacros(const char* input, std::string& out, char open = '{',
                        char close = '}') const;  // 0 / 7

  uint32_t LoadMacroFromRegistry(const char* name);   // 0 / 2 / 3 / 4 / 5
  uint32_t SaveMacrosToRegistry(const char* filter);  // 0 / 3

  svp::RegKey GetRootKey() const { return root_; }
  const std::string& GetSubKey() const { return subKey_; }
  bool HasMacro(const char* name) const;

 private:
  CSvMacro* Find(const char* name) const;

  std::unordered_map<std::string, CSvMacro*> macros_;
  svp::RegKey root_;
  std::string subKey_;
};
