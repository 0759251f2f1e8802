// Reader of the sectioned command files of the text edits.  It only reads.
#pragma once

#include <cstdint>
#include <string>

#include "textedit/textfile.h"

class CSvMacroList;

// Results of the reader and of the text edits that use it.
enum : uint32_t {
  kSvReadOk = 0,
  kSvReadNoFile = 1,
  kSvReadEof = 2,
  kSvReadSection = 3,
  kSvReadMissingArg = 4,
  kSvReadNoSection = 5,
};

class CSvCommandFile {
 public:
  explicit CSvCommandFile(const CSvMacroList* macros);

  uint32_t Open(const std::string& path);  // Ok or the platform's error
  bool IsOpen() const { return file_.IsOpen(); }
  void Close() { file_.Close(); }

  // Next normalised line (trimmed, comment cut, macros expanded): Ok or Eof.
  uint32_t ReadLine(std::string& out);
  // Positions after the header [name], searching from the top: Ok or NoSection.
  uint32_t FindSection(const std::string& name);
  // Next line split at "=": Ok, Eof, or Section at a section header.
  uint32_t ReadCommand(std::string& command, std::string& argument);

 private:
  const CSvMacroList* macros_;
  CSvTextFile file_;
};
