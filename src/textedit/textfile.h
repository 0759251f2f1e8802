// Text-mode file streams over the platform's files, behaving like the C
// runtime's text mode on Windows: CR LF reads as LF, LF writes as CR LF, and
// Ctrl-Z ends the readable text.  Used for the kit data file, command files,
// the answer file, AUTOEXEC.NT and the setup log.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

class CSvTextFile {
 public:
  CSvTextFile() = default;
  ~CSvTextFile();
  CSvTextFile(const CSvTextFile&) = delete;
  CSvTextFile& operator=(const CSvTextFile&) = delete;

  // mode as for fopen: "r", "r+", "w", "w+" (a "t" and a "c" may follow).
  // share: read and write sharing by default, 0 for exclusive use.
  // Returns 0 or the platform's error number.
  uint32_t Open(const std::string& path, const char* mode,
                uint32_t share = svp::kShareRead | svp::kShareWrite);
  bool IsOpen() const { return handle_ != svp::kInvalidFile; }

  // fgets with a buffer of maxChars + 1: at most maxChars characters, up to
  // and including the next line feed.  The line is cut at a NUL byte as a C
  // buffer would be.  False at end of file or on a read error.
  bool Gets(std::string* line, size_t maxChars);
  // Writes the text, each LF as CR LF.  False when the file refused it.
  bool Puts(const std::string& text);
  // Forces what was written to disk.
  bool Flush();
  // Back to the start of the file (rewind).
  bool Rewind();
  void Close();

 private:
  bool Fill();

  svp::FileHandle handle_ = svp::kInvalidFile;
  std::string buffer_;
  // One read buffer per stream, left uninitialised: clearing 64 KiB for
  // every read dominated the time of loading small files.
  std::unique_ptr<char[]> chunk_;
  size_t pos_ = 0;
  bool eof_ = false;
  bool error_ = false;
};

