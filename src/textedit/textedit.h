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

  // Ok (condition false or no section), NoFile, or the last section's
  // status.
  uint32_t Run();
  // Eof, Section (the next header) or NoSection.
  uint32_t ProcessSection(const std::string& name);

  // Ok, or MissingArg.
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
