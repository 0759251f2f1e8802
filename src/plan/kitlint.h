// The kit lint: what the loader makes of the lines of a KITPURGE.DAT that its
// author probably did not mean, with line numbers.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "kit/kit.h"

struct CSvLintFinding {
  uint32_t line = 0;  // 0: the file as a whole
  bool error = false;
  std::string text;
};

enum : int { kSvLintClean = 0, kSvLintWarnings = 1, kSvLintErrors = 2 };

class CSvKitLint : public CSvKitLoadObserver {
 public:
  // Reads the kit file at `path` as the uninstall would and checks it:
  // kSvLintClean, kSvLintWarnings or kSvLintErrors.  Never asks the user.
  int Check(const std::string& path);

  // Sorted by line.
  const std::vector<CSvLintFinding>& Findings() const { return findings_; }
  // "<path>(<line>): error|warning: <text>" lines and a closing count.
  std::string Report() const;

  // CSvKitLoadObserver.
  void OnLongLine(uint32_t line, size_t length) override;
  void OnUnknownKeyword(uint32_t line, const std::string& keyword) override;
  void OnRecord(uint32_t line, const std::string& keyword, const std::string* fields, int count,
                int present, bool dropped) override;

 private:
  void Add(uint32_t line, bool error, const std::string& text);
  void CheckPathMacros(uint32_t line, const std::string& field);
  void CheckCondition(uint32_t line, const std::string& field);
  void CheckAfterLoad();

  std::string path_;
  std::vector<CSvLintFinding> findings_;
  // Record text -> first line, for duplicates.
  std::map<std::string, uint32_t> records_;
  // Group -> first line that names it and how many file records it has.
  std::map<std::string, std::pair<uint32_t, int>> groups_;
  // Condition macros with the first line that tests them.
  std::map<std::string, uint32_t> conditions_;
};
