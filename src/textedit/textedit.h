// One TEXTEDIT record of the kit: a command file, the sections of it that
// apply and the condition under which they do.  Running it traces and checks
// the commands; none of them changes a file.
#pragma once

#include <cstdint>
#include <string>

#include "app/svobject.h"
#include "textedit/cmdfile.h"

class CSvMacroList;

class CSvTextEdit : public CSvObject {
 public:
  SV_DECLARE_RUNTIME_CLASS(CSvTextEdit)
  CSvTextEdit(const CSvMacroList* macros, const std::string& condition,
              const std::string& commandFile, const std::string& sections, uint32_t flags);

  const std::string& GetCondition() const { return condition_; }
  const std::string& GetCommandFile() const { return commandFile_; }
  // What is left of the section list (running consumes it).
  const std::string& GetSections() const { return sections_; }
  uint32_t GetFlags() const { return flags_; }

  // 0 (condition false or no section), 1 (file not opened), or the last
  // section's status 2, 3 or 5.
  uint32_t Run();
  // 2, 3 or 5.
  uint32_t ProcessSection(const std::string& name);

  // 0, or 4 for a missing argument.
  uint32_t DoFile(const std::string& argument);
  uint32_t DoDeleteBatchCommand(const std::string& argument);
  uint32_t DoDeleteIniValue(const std::string& argument);

 private:
  const CSvMacroList* macros_;
  std::string condition_;
  std::string commandFile_;
  std::string sections_;
  uint32_t flags_;
  CSvCommandFile file_;
};
