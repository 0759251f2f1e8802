#include "plan/rollup.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

// Traces listed by how many workstations have them, the commonest first.
constexpr size_t kCommonTraces = 20;

bool IsJsonFile(const std::string& name) {
  if (name.size() < 5) return false;
  std::string end = name.substr(name.size() - 5);
  for (char& c : end)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return end == ".json";
}

std::string TraceName(const SvTrace& t) {
  std::string name = t.kind + std::string(t.kind.size() < 18 ? 18 - t.kind.size() : 1, ' ') + t.where;
  if (!t.item.empty()) name += ": " + t.item;
  return name;
}

}  // namespace

bool CSvRollup::Read(ISvRollupFolder& folder) {
  std::vector<std::string> names;
  std::string why;
  if (!folder.List(&names, &why)) {
    folderError_ = why.empty() ? "it cannot be listed" : why;
    return false;
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (!IsJsonFile(name)) continue;
    std::string bytes;
    Workstation w;
    w.file = name;
    why.clear();
    if (!folder.Read(name, &bytes, &why)) {
      skipped_.push_back({name, why.empty() ? "cannot be read" : why});
    } else if (!SvReadVerifyDocument(bytes, &w.result, &why)) {
      skipped_.push_back({name, why});
    } else {
      read_.push_back(std::move(w));
    }
  }
  return true;
}

int CSvRollup::ExitCode() const {
  if (read_.empty()) return static_cast<int>(SvVerdict::kCannotTell);
  int code = 0;
  for (const Workstation& w : read_) code = std::max(code, w.result.ExitCode());
  return code;
}

std::string CSvRollup::Text() const {
  if (!folderError_.empty()) return "KITPLAN /ROLLUP: the folder cannot be read: " + folderError_ + "\n";
  std::string out = "KITPLAN /ROLLUP: " + std::to_string(read_.size()) + " workstation(s)";
  if (!skipped_.empty()) out += ", " + std::to_string(skipped_.size()) + " file(s) skipped";
  out += "\n";

  for (SvVerdict v : {SvVerdict::kClean, SvVerdict::kRestartPending, SvVerdict::kTracesRemain,
                      SvVerdict::kCannotTell}) {
    std::vector<std::string> names;
    for (const Workstation& w : read_)
      if (w.result.verdict == v)
        names.push_back(w.result.computer.empty() ? w.file : w.result.computer);
    out += "\n" + std::string(SvVerdictName(v)) + " (exit code " +
           std::to_string(static_cast<int>(v)) + "): " + std::to_string(names.size()) + "\n";
    for (const std::string& name : names) out += "  " + name + "\n";
  }

  // Each workstation counts once for each trace it has left.
  std::map<std::string, size_t> counts;
  for (const Workstation& w : read_) {
    std::set<std::string> own;
    for (const SvTrace& t : w.result.traces) own.insert(TraceName(t));
    for (const std::string& name : own) ++counts[name];
  }
  if (!counts.empty()) {
    std::vector<std::pair<std::string, size_t>> common(counts.begin(), counts.end());
    std::stable_sort(common.begin(), common.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    out += "\nTraces left, by the number of workstations that have them:\n";
    for (size_t i = 0; i < common.size() && i < kCommonTraces; ++i) {
      const std::string count = std::to_string(common[i].second);
      out += std::string(count.size() < 6 ? 6 - count.size() : 0, ' ') + count + "  " +
             common[i].first + "\n";
    }
    if (common.size() > kCommonTraces)
      out += "  ... and " + std::to_string(common.size() - kCommonTraces) + " other trace(s)\n";
  }

  if (!skipped_.empty()) {
    out += "\nSkipped:\n";
    for (const auto& s : skipped_) out += "  " + s.first + ": " + s.second + "\n";
  }
  return out;
}
