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

// Results of the table's operations.
enum : uint32_t {
  kSvMacroOk = 0,
  kSvMacroExists = 1,          // AddMacro without SV_MACRO_OVERWRITE
  kSvMacroNotFound = 2,
  kSvMacroRegistryFailed = 3,  // a key could not be opened or a value read or written
  kSvMacroNotString = 4,       // the registry value is not a string
  kSvMacroMissingArgument = 5, // a null name or value
  kSvMacroUnclosed = 7,        // ExpandMacros: the input ends inside a reference
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

  // Ok / Exists / MissingArgument.
  uint32_t AddMacro(const char* name, const char* value, uint32_t flags);
  // Ok / NotFound / MissingArgument, here and for the two reads (GetMacroValue
  // gives out = name for an absent one).
  uint32_t SetMacroValue(const char* name, const char* value);
  uint32_t GetMacroValue(const char* name, std::string& out) const;
  uint32_t GetSavedMacroValue(const char* name, std::string& out) const;
  uint32_t RestoreMacro(const char* name);  // "*" = all
  void SetMacroBool(const char* name, int flag);
  bool IsMacroTrue(const char* expression) const;
  // Ok / Unclosed / MissingArgument.
  uint32_t ExpandMacros(const char* input, std::string& out, char open = '{',
                        char close = '}') const;

  // Ok / NotFound / RegistryFailed / NotString / MissingArgument.
  uint32_t LoadMacroFromRegistry(const char* name);
  // Ok / RegistryFailed.
  uint32_t SaveMacrosToRegistry(const char* filter);

  svp::RegKey GetRootKey() const { return root_; }
  const std::string& GetSubKey() const { return subKey_; }
  bool HasMacro(const char* name) const;

 private:
  CSvMacro* Find(const char* name) const;

  std::unordered_map<std::string, CSvMacro*> macros_;
  svp::RegKey root_;
  std::string subKey_;
};
