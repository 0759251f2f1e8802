#include "textedit/cmdfile.h"

#include "macros/macros.h"
#include "platform/platform.h"
#include "textedit/texthelpers.h"

namespace {
// The header "[name]" is built in a 64-byte buffer.
constexpr size_t kMaxSectionName = 61;
// One read fills a 512-byte line buffer.
constexpr size_t kMaxLineChars = 511;
}  // namespace

CSvCommandFile::CSvCommandFile(const CSvMacroList* macros) : macros_(macros) {}

uint32_t CSvCommandFile::Open(const std::string& path) { return file_.Open(path, "rtc"); }

uint32_t CSvCommandFile::ReadLine(std::string& out) {
  std::string line;
  if (!file_.Gets(&line, kMaxLineChars)) {
    out.clear();
    return kSvReadEof;
  }
  SvTrim(line);
  // Cut after trimming: blanks in front of ";" stay part of the line.
  SvStripComment(line);
  if (macros_ != nullptr) {
    macros_->ExpandMacros(line.c_str(), out, '{', '}');
  } else {
    out = line;
  }
  return kSvReadOk;
}

uint32_t CSvCommandFile::FindSection(const std::string& name) {
  // A name too long for the header buffer cannot be looked for; it is not
  // found, and the file ends up at its end as for any missing section.
  const bool fits = name.size() <= kMaxSectionName;
  const std::string header = "[" + name + "]";
  file_.Rewind();
  std::string line;
  while (ReadLine(line) == kSvReadOk) {
    // Section names may hold accented letters: case is the code page's.
    if (fits && svp::Sys().EqualNoCase(line, header)) return kSvReadOk;
  }
  return kSvReadNoSection;
}

uint32_t CSvCommandFile::ReadCommand(std::string& command, std::string& argument) {
  std::string line;
  if (ReadLine(line) != kSvReadOk) {
    command.clear();
    argument.clear();
    return kSvReadEof;
  }
  if (!line.empty() && line[0] == '[') {
    command.clear();
    argument.clear();
    return kSvReadSection;
  }
  SvNextToken(line, "=", command);
  SvNextToken(line, "=", argument);
  return kSvReadOk;
}
