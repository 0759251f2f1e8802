#include "macros/macros.h"

#include "textedit/texthelpers.h"

CSvMacro::CSvMacro(const std::string& name, const std::string& value, uint32_t flags)
    : name_(name), value_(value), savedValue_(value), flags_(flags) {}

CSvMacroList::CSvMacroList(svp::RegKey root, const std::string& subKey)
    : root_(root), subKey_(subKey) {
  macros_.reserve(10);
}

CSvMacroList::~CSvMacroList() {
  for (auto& entry : macros_) delete entry.second;
  macros_.clear();
}

CSvMacro* CSvMacroList::Find(const char* name) const {
  if (name == nullptr) return nullptr;
  auto it = macros_.find(name);
  return it == macros_.end() ? nullptr : it->second;
}

bool CSvMacroList::HasMacro(const char* name) const { return Find(name) != nullptr; }

uint32_t CSvMacroList::AddMacro(const char* name, const char* value, uint32_t flags) {
  // Missing arguments get the table's "missing argument" code rather than a crash.
  if (name == nullptr || value == nullptr) return kSvMacroMissingArgument;
  if (CSvMacro* existing = Find(name)) {
    if ((flags & SV_MACRO_OVERWRITE) == 0) return kSvMacroExists;
    existing->SetValue(value);
    return kSvMacroOk;
  }
  macros_.emplace(name, new CSvMacro(name, value, flags));
  // Flags 0 means persistent: what the installed product left in the
  // registry overrides the default.
  if (flags == 0) LoadMacroFromRegistry(name);
  return kSvMacroOk;
}

uint32_t CSvMacroList::SetMacroValue(const char* name, const char* value) {
  if (name == nullptr || value == nullptr) return kSvMacroMissingArgument;
  CSvMacro* macro = Find(name);
  if (macro == nullptr) return kSvMacroNotFound;
  macro->SetValue(value);
  return kSvMacroOk;
}

uint32_t CSvMacroList::GetMacroValue(const char* name, std::string& out) const {
  if (name == nullptr) return kSvMacroMissingArgument;
  const CSvMacro* macro = Find(name);
  if (macro == nullptr) {
    out = name;
    return kSvMacroNotFound;
  }
  macro->GetValue(out);
  return kSvMacroOk;
}

uint32_t CSvMacroList::GetSavedMacroValue(const char* name, std::string& out) const {
  if (name == nullptr) return kSvMacroMissingArgument;
  const CSvMacro* macro = Find(name);
  if (macro == nullptr) return kSvMacroNotFound;
  macro->GetSavedValue(out);
  return kSvMacroOk;
}

uint32_t CSvMacroList::RestoreMacro(const char* name) {
  if (name == nullptr) return kSvMacroMissingArgument;
  std::string saved;
  if (std::string(name) == "*") {
    for (auto& entry : macros_) {
      entry.second->GetSavedValue(saved);
      entry.second->SetValue(saved);
    }
    return kSvMacroOk;
  }
  CSvMacro* macro = Find(name);
  if (macro == nullptr) return kSvMacroNotFound;
  macro->GetSavedValue(saved);
  macro->SetValue(saved);
  return kSvMacroOk;
}

void CSvMacroList::SetMacroBool(const char* name, int flag) {
  if (name == nullptr) return;
  SetMacroValue(name, flag != 0 ? "TRUE" : "FALSE");
}

bool CSvMacroList::IsMacroTrue(const char* expression) const {
  if (expression == nullptr || *expression == '\0') return false;
  bool negate = false;
  if (*expression == '!') {
    negate = true;
    ++expression;
  }
  bool result = false;
  if (const CSvMacro* macro = Find(expression)) {
    std::string value;
    macro->GetValue(value);
    result = SvEqualNoCase(value, "TRUE") || SvEqualNoCase(value, "ENABLED") ||
             SvEqualNoCase(value, "YES") || SvEqualNoCase(value, "ON");
  }
  return negate ? !result : result;
}

uint32_t CSvMacroList::ExpandMacros(const char* input, std::string& out, char open,
                                    char close) const {
  out.clear();
  // No input text is a missing argument; the caller gets an empty result.
  if (input == nullptr) return kSvMacroMissingArgument;
  bool inName = false;
  std::string name;
  std::string value;
  for (const char* p = input; *p != '\0'; ++p) {
    const char c = *p;
    if (!inName) {
      if (c == open) {
        inName = true;
        name.clear();
      } else {
        out.push_back(c);
      }
    } else if (c != close) {
      name.push_back(c);
    } else {
      if (const CSvMacro* macro = Find(name.c_str())) {
        macro->GetValue(value);
        out += value;
      }
      inName = false;
    }
  }
  return inName ? kSvMacroUnclosed : kSvMacroOk;
}
