#include "plan/verify.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <utility>

#include "app/uninstall.h"
#include "log/svlog.h"
#include "plan/plan.h"
#include "registry/cleanup.h"
#include "res/stringids.h"

namespace {

using svp::DryRunKind;

constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingValue[] = "PendingFileRenameOperations";
// A log larger than this is not one run's.
constexpr uint32_t kMaxLogBytes = 64u << 20;

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool Within(const std::string& upperPath, const std::string& upperDirectory) {
  return upperPath.size() > upperDirectory.size() + 1 &&
         upperPath.compare(0, upperDirectory.size(), upperDirectory) == 0 &&
         upperPath[upperDirectory.size()] == '\\';
}

// ---------------------------------------------------------------------------
// Where the run is, told by the lines it logs.
enum Phase { kInit, kStarted, kNetwork, kFiles, kShortcuts, kText, kCleanUp };
const char* const kPhaseNames[] = {"start", "finish", "network", "files",
                                   "shortcuts", "text files", "clean-up"};

class Markers {
 public:
  Markers() {
    for (uint32_t id : {kIdsFinishStart, kIdsFinishEnd, kIdsClosingLog, kIdsNetPhaseStart,
                        kIdsVcpOpen, kIdsCopySkipped, kIdsVcpClose, kIdsShortcutPhaseStart,
                        kIdsTextEditStart, kIdsTextEditSkipped, kIdsTextEditEnd})
      SvLoadString(id, &text_[id]);
    // The lines every run logs on its way; anything else a phase logs is
    // what went wrong there.
    for (uint32_t id : {kIdsCommandLine, kIdsRunningOnBuild, kIdsUpgradeDetected, kIdsNetPhaseEnd,
                        kIdsNetPhaseSkipped, kIdsDeleteFile, kIdsCopyFile,
                        kIdsShortcutPhaseSkipped, kIdsSocketsCleanupFailed, kIdsWillReboot,
                        kIdsDestroyingWizard, kIdsClosingLog, kIdsFinishEnd}) {
      std::string format;
      if (!SvLoadString(id, &format)) continue;
      routine_.push_back(format.substr(0, format.find('%')));
      if (format.find('%') == std::string::npos) fixed_.push_back(format);
    }
    for (const auto& t : text_)
      if (!t.second.empty()) fixed_.push_back(t.second);
  }

  // A message without a line end of its own is glued to the next one in
  // the log; the lines every run logs come apart again.
  std::vector<std::string> Unglue(const std::vector<std::string>& messages) const {
    std::vector<std::string> out;
    for (std::string message : messages) {
      std::vector<std::string> tail;
      for (bool more = true; more;) {
        more = false;
        for (const std::string& f : fixed_) {
          if (message.size() > f.size() &&
              message.compare(message.size() - f.size(), f.size(), f) == 0) {
            tail.insert(tail.begin(), f);
            message.resize(message.size() - f.size());
            more = true;
          }
        }
      }
      out.push_back(message);
      out.insert(out.end(), tail.begin(), tail.end());
    }
    return out;
  }

  bool Is(const std::string& message, uint32_t id) const {
    auto it = text_.find(id);
    return it != text_.end() && !it->second.empty() && it->second == message;
  }
  // The phase after a logged message.
  Phase Next(const std::string& message, Phase phase) const {
    if (Is(message, kIdsFinishStart)) return kStarted;
    if (Is(message, kIdsNetPhaseStart)) return kNetwork;
    // The file phase logs only its close when its page cannot be added.
    if (Is(message, kIdsVcpOpen) || Is(message, kIdsCopySkipped) ||
        (Is(message, kIdsVcpClose) && phase < kFiles))
      return kFiles;
    if (Is(message, kIdsShortcutPhaseStart)) return kShortcuts;
    if (Is(message, kIdsTextEditStart)) return kText;
    if (Is(message, kIdsTextEditEnd) || Is(message, kIdsTextEditSkipped)) return kCleanUp;
    return phase;
  }
  bool Routine(const std::string& message) const {
    for (const std::string& prefix : routine_)
      if (!prefix.empty() && message.compare(0, prefix.size(), prefix) == 0) return true;
    return Is(message, kIdsVcpClose);
  }

 private:
  std::map<uint32_t, std::string> text_;
  std::vector<std::string> routine_;
  std::vector<std::string> fixed_;
};

// The log writes each line feed as CR LF; this gives back the text.
std::string Unwritten(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
  return text;
}

// The messages of a log: a message ends at a line feed of its own (a "\r\n"
// inside one is stored as CR CR LF).
std::vector<std::string> LogMessages(const std::string& bytes) {
  const std::string text = Unwritten(bytes);
  std::vector<std::string> messages;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      messages.push_back(text.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (start < text.size()) messages.push_back(text.substr(start));
  return messages;
}

SvLastRun ReadLastRun(const svp::Platform& workstation, const std::string& logPath,
                      const Markers& markers) {
  SvLastRun run;
  run.log = logPath;
  if (logPath.empty()) return run;
  svp::IFileSystem& fs = *workstation.fs;
  const svp::FileHandle h =
      fs.CreateFile(logPath, svp::kGenericRead, svp::kShareRead | svp::kShareWrite, svp::kOpenExisting);
  if (h == svp::kInvalidFile) {
    const uint32_t error = fs.GetLastError();
    if (error != svp::kErrFileNotFound && error != svp::kErrPathNotFound) {
      run.outcome = "unreadable";
      run.message = "error " + std::to_string(error);
    }
    return run;
  }
  std::string bytes;
  char buffer[65536];
  uint32_t got = 0;
  while (bytes.size() < kMaxLogBytes && fs.ReadFile(h, buffer, sizeof buffer, &got) && got != 0)
    bytes.append(buffer, got);
  fs.CloseHandle(h);

  Phase phase = kInit;
  bool ended = false, closed = false;
  std::string failure;
  for (const std::string& message : markers.Unglue(LogMessages(bytes))) {
    const Phase next = markers.Next(message, phase);
    if (next != phase) {
      phase = next;
      failure.clear();
      continue;
    }
    if (markers.Is(message, kIdsFinishEnd)) ended = true;
    if (markers.Is(message, kIdsClosingLog)) closed = true;
    if (!markers.Routine(message)) failure = SvOneLine(message);
  }
  if (phase == kInit) {
    if (!closed) {
      run.outcome = "interrupted";
      run.phase = kPhaseNames[kInit];
    } else if (!failure.empty()) {
      run.outcome = "stopped";
      run.phase = kPhaseNames[kInit];
      run.message = failure;
    } else {
      run.outcome = "cancelled";
    }
  } else if (!ended) {
    run.outcome = "interrupted";
    run.phase = kPhaseNames[phase];
  } else if (phase == kCleanUp) {
    run.outcome = "finished";
  } else {
    run.outcome = "stopped";
    run.phase = kPhaseNames[phase];
    run.message = failure;
  }
  return run;
}

// ---------------------------------------------------------------------------
// Registry names as the dry run writes them: "HKLM\path", "HKLM\path\\value".
bool SplitKey(const std::string& name, svp::RegKey* root, std::string* path) {
  static const std::pair<const char*, svp::RegKey> kRoots[] = {
      {"HKLM", svp::kHKeyLocalMachine}, {"HKCU", svp::kHKeyCurrentUser},
      {"HKCR", svp::kHKeyClassesRoot}, {"HKU", svp::kHKeyUsers}};
  for (const auto& r : kRoots) {
    const size_t n = std::strlen(r.first);
    if (name.compare(0, n, r.first) != 0) continue;
    if (name.size() == n) {
      path->clear();
    } else if (name[n] == '\\') {
      *path = name.substr(n + 1);
    } else {
      continue;
    }
    *root = r.second;
    return true;
  }
  return false;
}

bool KeyExists(svp::IRegistry& reg, const std::string& name) {
  svp::RegKey root = 0, h = 0;
  std::string path;
  if (!SplitKey(name, &root, &path)) return false;
  if (reg.OpenKey(root, path, svp::kKeyRead, &h) != 0) return false;
  reg.CloseKey(h);
  return true;
}

std::vector<std::string> ListEntries(const std::string& list) {
  std::vector<std::string> entries;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string entry = list.substr(start, end - start);
    while (!entry.empty() && entry.back() == ' ') entry.pop_back();
    while (!entry.empty() && entry.front() == ' ') entry.erase(0, 1);
    if (!entry.empty()) entries.push_back(entry);
    start = end + 1;
  }
  return entries;
}

std::string ResultNote(uint32_t result) {
  switch (result) {
    case 0:
    case svp::kErrFileNotFound:
    case svp::kErrPathNotFound:
      return "";
    case svp::kErrSharingViolation: return "in use";
    case svp::kErrAccessDenied: return "access denied";
    case svp::kErrDirNotEmpty: return "not empty";
    default: return "error " + std::to_string(result);
  }
}

class Collector {
 public:
  void Add(const std::string& kind, const std::string& where, const std::string& item = "",
           const std::string& note = "") {
    if (seen_.insert(kind + '\n' + Upper(where) + '\n' + item).second)
      traces_.push_back({kind, where, item, note});
  }
  bool Has(const std::string& kind, const std::string& where) const {
    return seen_.count(kind + '\n' + Upper(where) + '\n') != 0;
  }
  // A key goes with an ancestor that is itself a trace, unless it has a
  // reason of its own to stay.
  std::vector<SvTrace> Take() {
    std::vector<std::string> keys;
    for (const SvTrace& t : traces_)
      if (t.kind == "key") keys.push_back(Upper(t.where));
    std::vector<SvTrace> out;
    for (SvTrace& t : traces_) {
      bool folded = false;
      if (t.kind == "key" && t.note.empty())
        for (const std::string& key : keys) folded = folded || Within(Upper(t.where), key);
      if (!folded) out.push_back(std::move(t));
    }
    return out;
  }

 private:
  std::vector<SvTrace> traces_;
  std::set<std::string> seen_;
};

std::string OperationText(const svp::PendingOperation& op) {
  return op.to.empty() ? "delete " + op.from : "move " + op.from + " -> " + op.to;
}

}  // namespace

std::vector<svp::PendingOperation> SvReadPendingOperations(svp::IRegistry& registry) {
  std::vector<svp::PendingOperation> ops;
  svp::RegKey key = 0;
  if (registry.OpenKey(svp::kHKeyLocalMachine, kSessionManager, svp::kKeyQueryValue, &key) != 0)
    return ops;
  uint32_t type = 0, size = 0;
  std::string bytes;
  if (registry.QueryValue(key, kPendingValue, &type, nullptr, &size) == 0 && size != 0) {
    bytes.assign(size, '\0');
    if (registry.QueryValue(key, kPendingValue, &type, reinterpret_cast<uint8_t*>(&bytes[0]),
                            &size) != 0)
      bytes.clear();
    bytes.resize(std::min<size_t>(size, bytes.size()));
  }
  registry.CloseKey(key);

  // Pairs of names: the file, then its new name or an empty one for a
  // delete; "\??\" leads the names and "!" a rename that may replace.
  std::vector<std::string> names;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    names.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  const auto plain = [](std::string name, bool* replace) {
    if (replace != nullptr) *replace = !name.empty() && name[0] == '!';
    if (!name.empty() && name[0] == '!') name.erase(0, 1);
    if (name.compare(0, 4, "\\??\\") == 0) name.erase(0, 4);
    return name;
  };
  for (size_t i = 0; i + 1 < names.size(); i += 2) {
    if (names[i].empty()) break;  // the list's end
    svp::PendingOperation op;
    op.from = plain(names[i], nullptr);
    op.to = plain(names[i + 1], &op.replace);
    ops.push_back(op);
  }
  return ops;
}

SvVerifyResult SvVerify(const svp::Platform& workstation, const svp::DryRunLister& lister,
                        const SvPendingReader& pending) {
  // The string table and the workstation's own answers, for what follows
  // the plan.
  const svp::ScopedPlatform installed(workstation);
  SvVerifyResult result;
  workstation.sys->GetEnvironmentVariable("COMPUTERNAME", &result.computer);

  svp::DryRunPlatform dry(workstation, lister);
  // Every file left is a trace whether in use or not: only those the
  // restart removes are asked, below, why they wait.
  dry.SetProbeInUse(false);
  CSvPlan plan;
  plan.Run(dry, "");
  const Markers markers;
  result.lastRun = ReadLastRun(workstation, plan.LogPath(), markers);
  if (!plan.Finished()) {
    result.reason =
        plan.Refusal().empty() ? "the silent uninstall would not reach the removal" : plan.Refusal();
    return result;
  }

  const std::string logKey = Upper(plan.LogPath());
  std::string system;
  workstation.sys->GetSystemDirectory(&system);
  const std::string backupKey = Upper(system + "\\" + kSvAutoexecBackup);
  const auto present = [&dry](const std::string& path) {
    return dry.RealAttributes(path) != svp::kInvalidAttributes;
  };

  // What the run removes, or tries to, in its order.
  Collector found;
  std::set<std::string> productPaths;   // upper case
  std::vector<std::string> productDirectories;
  Phase phase = kInit;
  for (const svp::DryRunEvent& e : plan.Events()) {
    switch (e.kind) {
      case DryRunKind::kWrite:
        // One message a write.
        if (Upper(e.target) == logKey) phase = markers.Next(Unwritten(e.detail), phase);
        break;
      case DryRunKind::kNetRemove:
        found.Add("network-component", e.target);
        break;
      case DryRunKind::kFileDeleted:
        productPaths.insert(Upper(e.target));
        if (present(e.target) && Upper(e.target) != logKey)
          found.Add(phase == kShortcuts ? "shortcut" : "file", e.target, "", ResultNote(e.result));
        break;
      case DryRunKind::kDirectoryRemoved:
        productPaths.insert(Upper(e.target));
        productDirectories.push_back(Upper(e.target));
        if (present(e.target) && (dry.RealAttributes(e.target) & svp::kAttrDirectory) != 0)
          found.Add(phase == kShortcuts ? "program-group" : "directory", e.target, "",
                    ResultNote(e.result));
        break;
      case DryRunKind::kKeyDeleted:
        if (KeyExists(*workstation.reg, e.target))
          found.Add("key", e.target, "", e.result != 0 ? e.detail : "");
        break;
      case DryRunKind::kFileDeleteAtRestart:
      case DryRunKind::kAttributesSet:
        productPaths.insert(Upper(e.target));
        break;
      case DryRunKind::kFileMoved:
        // A file found where the run only puts its own new copies: what an
        // earlier run, stopped half-way, left behind.
        if (present(e.target) && Upper(e.target) != logKey) found.Add("file", e.target);
        productPaths.insert(Upper(e.target));
        productPaths.insert(Upper(e.detail));
        break;
      case DryRunKind::kFileMoveAtRestart:
      case DryRunKind::kFileCopied:
        productPaths.insert(Upper(e.target));
        productPaths.insert(Upper(e.detail));
        break;
      default:
        break;
    }
  }

  // Files it would change: the lines they would lose.
  const svp::DryRunEffect& effect = plan.Effect();
  for (const std::string& path : effect.filesChanged) {
    const std::string key = Upper(path);
    if (key == logKey || key == backupKey) continue;
    productPaths.insert(key);
    std::string before, after;
    if (!dry.RealFile(path, &before) || !dry.ModelFile(path, &after) || before == after) continue;
    std::vector<std::pair<size_t, std::string>> dropped;
    if (!SvDroppedLines(before, after, &dropped)) {
      found.Add("file-content", path);
      continue;
    }
    for (const auto& line : dropped)
      if (line.second.find_first_not_of(" \t") != std::string::npos)
        found.Add("line", path, line.second, "line " + std::to_string(line.first));
  }

  // Values: entries a list would lose, values that would go.
  const auto splitValue = [](const std::string& text, std::string* key, std::string* name) {
    const size_t mark = text.find("\\\\");
    if (mark == std::string::npos) return false;
    *key = text.substr(0, mark);
    *name = text.substr(mark + 2);
    return true;
  };
  for (const std::string& set : effect.valuesSet) {
    std::string keyName, name, keyPath, before, after;
    svp::RegKey root = 0;
    if (!splitValue(set, &keyName, &name) || !SplitKey(keyName, &root, &keyPath)) continue;
    name = name.substr(0, name.find('='));
    if (!dry.RealString(root, keyPath, name, &before) ||
        !dry.ModelString(root, keyPath, name, &after))
      continue;
    std::set<std::string> kept;
    for (const std::string& entry : ListEntries(after)) kept.insert(Upper(entry));
    for (const std::string& entry : ListEntries(before))
      if (kept.count(Upper(entry)) == 0) found.Add("entry", keyName + "\\\\" + name, entry);
  }
  for (const std::string& removed : effect.valuesRemoved) {
    std::string keyName, name, keyPath, data;
    svp::RegKey root = 0;
    if (!splitValue(removed, &keyName, &name) || !SplitKey(keyName, &root, &keyPath)) continue;
    dry.RealString(root, keyPath, name, &data);
    found.Add("value", removed, "", data);
  }

  // The product's keys stay whole when the configuration key cannot go:
  // the run does not even try them, yet they are the product's.
  for (const SvProductKey& key : kSvProductKeys) {
    const std::string name = svp::DryRunRootName(key.root) + "\\" + key.path;
    if (!found.Has("key", name) && KeyExists(*workstation.reg, name)) found.Add("key", name);
  }

  // What the operations waiting for the restart take away.
  std::vector<svp::PendingOperation> ops =
      pending ? pending() : SvReadPendingOperations(*workstation.reg);
  std::set<std::string> deleted, replaced;
  for (const svp::PendingOperation& op : ops) {
    const std::string from = Upper(op.from), to = Upper(op.to);
    bool product = productPaths.count(from) != 0 || (!to.empty() && productPaths.count(to) != 0);
    for (const std::string& directory : productDirectories)
      product = product || Within(from, directory) || (!to.empty() && Within(to, directory));
    if (!product) continue;
    result.pendingOperations.push_back(OperationText(op));
    (op.to.empty() ? deleted : replaced).insert(op.to.empty() ? from : to);
  }
  // A directory goes at the restart only when everything in it now goes too:
  // a file the run would remove but that no operation waits to delete keeps
  // it, as it would keep it at a restart made now.
  std::function<bool(const std::string&, bool)> goes = [&](const std::string& path,
                                                           bool directory) {
    if (deleted.count(Upper(path)) == 0) return false;
    if (!directory) return true;
    std::vector<svp::DryRunDirEntry> entries;
    if (lister) lister(path, &entries);
    for (const svp::DryRunDirEntry& entry : entries)
      if (!goes(path + "\\" + entry.name, (entry.attributes & svp::kAttrDirectory) != 0))
        return false;
    return true;
  };
  for (SvTrace& trace : found.Take()) {
    bool atRestart = false;
    if (trace.kind == "file" || trace.kind == "shortcut") atRestart = goes(trace.where, false);
    if (trace.kind == "directory" || trace.kind == "program-group")
      atRestart = goes(trace.where, true);
    if (trace.kind == "line" || trace.kind == "file-content")
      atRestart = replaced.count(Upper(trace.where)) != 0;
    if (atRestart && trace.kind != "directory" && trace.kind != "program-group" &&
        trace.note.empty() && dry.RealInUse(trace.where))
      trace.note = "in use";
    (atRestart ? result.atRestart : result.traces).push_back(std::move(trace));
  }

  result.verdict = !result.traces.empty()      ? SvVerdict::kTracesRemain
                   : !result.atRestart.empty() ? SvVerdict::kRestartPending
                                               : SvVerdict::kClean;
  return result;
}

// ---------------------------------------------------------------------------
namespace {

std::string TraceLine(const SvTrace& t) {
  std::string line = "  " + t.kind + std::string(t.kind.size() < 18 ? 18 - t.kind.size() : 1, ' ') +
                     t.where;
  if (!t.item.empty()) line += ": " + t.item;
  if (!t.note.empty()) line += "  [" + t.note + "]";
  return line + "\n";
}

std::string TraceJson(const SvTrace& t) {
  return "{\"kind\": " + SvJsonQuote(t.kind) + ", \"where\": " + SvJsonQuote(t.where) +
         ", \"item\": " + SvJsonQuote(t.item) + ", \"note\": " + SvJsonQuote(t.note) + "}";
}

template <typename T, typename F>
std::string JsonArray(const std::vector<T>& items, F render) {
  if (items.empty()) return "[]";
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i)
    out += std::string(i ? ",\n" : "\n") + "    " + render(items[i]);
  return out + "\n  ]";
}

}  // namespace

std::string SvVerifyResult::Text() const {
  std::string out = "KITPLAN /VERIFY";
  if (!computer.empty()) out += " on " + computer;
  out += ": ";
  switch (verdict) {
    case SvVerdict::kClean: out += "nothing of SOLVANE 32 is left"; break;
    case SvVerdict::kRestartPending: out += "what is left of SOLVANE 32 goes at the restart"; break;
    case SvVerdict::kTracesRemain: out += "traces of SOLVANE 32 remain"; break;
    case SvVerdict::kCannotTell: out += "cannot tell: " + reason; break;
  }
  out += " (exit code " + std::to_string(ExitCode()) + ")\n";
  if (!traces.empty()) {
    out += "\nLeft on the workstation (" + std::to_string(traces.size()) + "):\n";
    for (const SvTrace& t : traces) out += TraceLine(t);
  }
  if (!atRestart.empty()) {
    out += "\nRemoved at the restart (" + std::to_string(atRestart.size()) + "):\n";
    for (const SvTrace& t : atRestart) out += TraceLine(t);
  }
  if (!pendingOperations.empty()) {
    out += "\nOperations waiting for the restart (" + std::to_string(pendingOperations.size()) +
           "):\n";
    for (const std::string& op : pendingOperations) out += "  " + op + "\n";
  }
  out += "\nLast run: ";
  if (lastRun.outcome == "none") {
    out += "no setup log";
  } else if (lastRun.outcome == "stopped") {
    out += lastRun.phase == kPhaseNames[kInit] ? "stopped before the removal began"
                                               : "stopped in the " + lastRun.phase + " phase";
    if (!lastRun.message.empty()) out += ": " + lastRun.message;
  } else if (lastRun.outcome == "interrupted") {
    out += "no end logged (stopped by force or still running, in the " + lastRun.phase + " phase)";
  } else if (lastRun.outcome == "cancelled") {
    out += "cancelled before the removal began";
  } else if (lastRun.outcome == "unreadable") {
    out += "the setup log cannot be read (" + lastRun.message + ")";
  } else {
    out += lastRun.outcome;
  }
  if (!lastRun.log.empty()) out += " (" + lastRun.log + ")";
  return out + "\n";
}

std::string SvVerifyResult::Json() const {
  std::string out = "{\n  \"verify\": 1,\n";
  out += "  \"computer\": " + SvJsonQuote(computer) + ",\n";
  out += "  \"verdict\": " + SvJsonQuote(SvVerdictName(verdict)) + ",\n";
  out += "  \"exit_code\": " + std::to_string(ExitCode()) + ",\n";
  out += "  \"reason\": " + SvJsonQuote(reason) + ",\n";
  out += "  \"traces\": " + JsonArray(traces, TraceJson) + ",\n";
  out += "  \"at_restart\": " + JsonArray(atRestart, TraceJson) + ",\n";
  out += "  \"pending_operations\": " +
         JsonArray(pendingOperations, [](const std::string& s) { return SvJsonQuote(s); }) + ",\n";
  out += "  \"last_run\": {\"outcome\": " + SvJsonQuote(lastRun.outcome) +
         ", \"phase\": " + SvJsonQuote(lastRun.phase) +
         ", \"message\": " + SvJsonQuote(lastRun.message) +
         ", \"log\": " + SvJsonQuote(lastRun.log) + "}\n}\n";
  return out;
}
