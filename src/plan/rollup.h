// The rollup: the verify documents of many workstations, one file each in a
// folder (KITPLAN.EXE /VERIFY /JSON written to a share), summed up per
// verdict and per trace.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "plan/verify.h"

// Reads a document KITPLAN.EXE /VERIFY /JSON wrote.  Anything else (another
// JSON document, a damaged or cut file, bytes of any kind) is refused with
// the reason in `why`.
bool SvReadVerifyDocument(const std::string& bytes, SvVerifyResult* result, std::string* why);

// The files a rollup reads.
class ISvRollupFolder {
 public:
  virtual ~ISvRollupFolder() = default;
  // The names of the folder's files; false and why when it cannot be listed.
  virtual bool List(std::vector<std::string>* names, std::string* why) = 0;
  virtual bool Read(const std::string& name, std::string* bytes, std::string* why) = 0;
};

class CSvRollup {
 public:
  // Every *.json file of the folder; the others are no business of it.
  // False when the folder cannot be listed.
  bool Read(ISvRollupFolder& folder);

  // 0 when every workstation is clean; otherwise the highest verdict found,
  // and 3 when no workstation could be read at all.
  int ExitCode() const;
  std::string Text() const;

 private:
  struct Workstation {
    std::string file;
    SvVerifyResult result;
  };
  std::string folderError_;
  std::vector<Workstation> read_;
  std::vector<std::pair<std::string, std::string>> skipped_;  // file, why
};

// Files larger than this are no verify document.
constexpr size_t kSvMaxVerifyDocument = 16u << 20;
