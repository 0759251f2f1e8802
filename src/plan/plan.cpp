#include "plan/plan.h"

#include <cstdio>

#include "app/setupapp.h"
#include "app/uninstall.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/memory/memory_sheet.h"
#include "res/stringids.h"

namespace {

constexpr char kEnvironmentKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

using svp::DryRunKind;

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i)
    if (toupper(static_cast<unsigned char>(text[text.size() - end.size() + i])) !=
        toupper(static_cast<unsigned char>(end[i])))
      return false;
  return true;
}

const char* KindName(DryRunKind kind) {
  switch (kind) {
    case DryRunKind::kWrite: return "write";
    case DryRunKind::kFileDeleted: return "delete";
    case DryRunKind::kFileDeleteAtRestart: return "delete-at-restart";
    case DryRunKind::kFileMoved: return "move";
    case DryRunKind::kFileMoveAtRestart: return "move-at-restart";
    case DryRunKind::kFileCopied: return "copy";
    case DryRunKind::kFileWritten: return "file-written";
    case DryRunKind::kAttributesSet: return "attributes";
    case DryRunKind::kDirectoryCreated: return "mkdir";
    case DryRunKind::kDirectoryRemoved: return "rmdir";
    case DryRunKind::kKeyCreated: return "create-key";
    case DryRunKind::kKeyDeleted: return "delete-key";
    case DryRunKind::kValueSet: return "set-value";
    case DryRunKind::kValueDeleted: return "delete-value";
    case DryRunKind::kProcessStarted: return "start-process";
    case DryRunKind::kRestart: return "restart-windows";
    case DryRunKind::kEnvironmentNotified: return "notify-environment";
    case DryRunKind::kNetRemove: return "net-remove";
    case DryRunKind::kNetReview: return "net-review-bindings";
    case DryRunKind::kQuestion: return "question";
    case DryRunKind::kDocumentOpened: return "open-document";
  }
  return "?";
}

// What a failed step means for the workstation, in the plan's words.
std::string Outcome(const svp::DryRunEvent& e) {
  // Only the library knows whether it will refuse; it is not asked.
  if (e.kind == DryRunKind::kNetRemove) return "  [assumed to succeed]";
  if (e.result == 0) return "";
  switch (e.result) {
    case svp::kErrFileNotFound:
    case svp::kErrPathNotFound:
      return "  [already missing]";
    case svp::kErrSharingViolation:
    case svp::kErrAccessDenied:
      if (e.kind == DryRunKind::kFileDeleted || e.kind == DryRunKind::kFileMoved ||
          e.kind == DryRunKind::kFileCopied)
        return "  [in use: error " + std::to_string(e.result) + "]";
      break;
    case svp::kErrDirNotEmpty:
      return "  [kept: not empty]";
    default:
      break;
  }
  return "  [fails: error " + std::to_string(e.result) + "]";
}

std::string JsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + SvJsonQuote(items[i]);
  return out + "]";
}

// One item a line, for tools that read lines.
std::string JsonLines(const std::vector<std::string>& items) {
  if (items.empty()) return "[]";
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i)
    out += std::string(i ? ",\n" : "\n") + "      " + SvJsonQuote(items[i]);
  return out + "\n    ]";
}

}  // namespace

std::string SvJsonQuote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c >= 0x80) {
          // Bytes of the system code page, kept as the Latin-1 code points.
          char escape[8];
          snprintf(escape, sizeof escape, "\\u%04x", c);
          out += escape;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

bool SvDroppedLines(const std::string& before, const std::string& after,
                    std::vector<std::pair<size_t, std::string>>* dropped) {
  const std::vector<std::string> old = SvTextLines(before), now = SvTextLines(after);
  size_t next = 0;
  for (size_t i = 0; i < old.size(); ++i) {
    if (next < now.size() && now[next] == old[i]) {
      ++next;
    } else {
      dropped->push_back({i + 1, old[i]});
    }
  }
  return next == now.size();
}

std::vector<std::string> SvTextLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string SvOneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
    text.replace(at, 2, " ");
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

void CSvPlan::Run(svp::DryRunPlatform& dry, const std::string& switches) {
  commandLine_ = switches;
  if (commandLine_.find("SILENT") == std::string::npos)
    commandLine_ += commandLine_.empty() ? "/SILENT" : " /SILENT";
  dry.SetCommandLine(commandLine_);
  svp::MemorySheetHost sheets;
  const svp::ScopedPlatform installed(dry.Parts(&sheets));

  CSetupApp app;
  if (app.InitInstance()) {
    // The message loop, with nobody at the keyboard.
    while (!sheets.QuitPosted() && sheets.DispatchPosted() > 0) {
    }
  }
  if (CSvUninstallWizard* wizard = app.GetWizard()) {
    finished_ = wizard->IsFinishing();
    std::string logTemplate;
    if (SvLoadString(kIdsLogPath, &logTemplate))
      wizard->GetMacroList()->ExpandMacros(logTemplate.c_str(), logPath_, '{', '}');
    CSvMacroList* macros = wizard->GetMacroList();
    for (CSvShortcut* s : wizard->GetKit()->Shortcuts()) {
      if (!s->GetKeep().empty() && macros->IsMacroTrue(s->GetCondition().c_str()))
        shortcutsKept_.push_back(s->GetFolder() + "\\" + s->GetLinkName() + " (marker \"" +
                                 s->GetKeep() + "\", " + s->GetCondition() + " is true)");
    }
  }
  app.ExitInstance(0);
  SvCloseLog();

  events_ = dry.Events();
  for (const auto& e : events_)
    if (e.kind == DryRunKind::kWrite && !logPath_.empty() && EndsWithNoCase(e.target, logPath_))
      log_ += e.detail;
  if (!finished_) {
    for (const auto& e : events_) {
      if (e.kind == DryRunKind::kQuestion) {
        // Its first line says it; the rest tells a user what to click.
        refusal_ = e.target.substr(0, e.target.find_first_of("\r\n"));
        while (!refusal_.empty() && refusal_.back() == ' ') refusal_.pop_back();
        break;
      }
    }
  }
  for (auto it = events_.rbegin(); it != events_.rend(); ++it) {
    if (it->kind == DryRunKind::kQuestion) {
      finalMessage_ = it->target;
      finalAnswer_ = it->detail;
      break;
    }
  }
  path_.hadBefore = dry.RealString(svp::kHKeyLocalMachine, kEnvironmentKey, "Path", &path_.before);
  path_.hasAfter = dry.ModelString(svp::kHKeyLocalMachine, kEnvironmentKey, "Path", &path_.after);
  ksta_.hadBefore = dry.RealString(svp::kHKeyLocalMachine, kEnvironmentKey, "KSTA", &ksta_.before);
  ksta_.hasAfter = dry.ModelString(svp::kHKeyLocalMachine, kEnvironmentKey, "KSTA", &ksta_.after);

  // AUTOEXEC.NT only loses lines: match the old lines against the new ones
  // in order.
  std::string system;
  svp::Sys().GetSystemDirectory(&system);
  autoexecPath_ = system + "\\AUTOEXEC.NT";
  std::string before, after;
  if (dry.RealFile(autoexecPath_, &before) && dry.ModelFile(autoexecPath_, &after) &&
      before != after) {
    SvDroppedLines(before, after, &autoexecDropped_);
  }
  effect_ = dry.Effect();
}

namespace {

// Lines end at their last visible character.
std::string TrimLines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n')
      while (!out.empty() && out.back() == ' ') out.pop_back();
    out += c;
  }
  return out;
}

}  // namespace

std::string CSvPlan::Text() const {
  std::string out = "What \"KITPURGE.EXE " + commandLine_ +
                    "\" would do on this workstation (nothing has been changed):\n\n";
  int deleted = 0, atRestart = 0, missing = 0, inUse = 0;
  for (const auto& e : events_) {
    if (e.kind == DryRunKind::kWrite) {
      if (!EndsWithNoCase(e.target, logPath_.empty() ? "\n" : logPath_)) continue;
      for (const std::string& line : SvTextLines(e.detail)) out += "  log        " + line + "\n";
      continue;
    }
    if (e.kind == DryRunKind::kFileWritten && EndsWithNoCase(e.target, logPath_)) continue;
    if (e.kind == DryRunKind::kFileDeleted) {
      if (e.result == 0) ++deleted;
      if (e.result == svp::kErrFileNotFound || e.result == svp::kErrPathNotFound) ++missing;
      if (e.result == svp::kErrSharingViolation || e.result == svp::kErrAccessDenied) ++inUse;
    }
    if (e.kind == DryRunKind::kFileDeleteAtRestart && e.result == 0) ++atRestart;
    std::string line = "  ";
    std::string kind = KindName(e.kind);
    line += kind + std::string(kind.size() < 10 ? 10 - kind.size() : 0, ' ') + " ";
    if (e.kind == DryRunKind::kQuestion) {
      line += "\"" + SvOneLine(e.target) + "\" -> " + e.detail;
    } else {
      line += e.target;
      if (!e.detail.empty()) {
        const bool arrow = e.kind == DryRunKind::kFileMoved ||
                           e.kind == DryRunKind::kFileMoveAtRestart ||
                           e.kind == DryRunKind::kFileCopied;
        line += (arrow ? " -> " : "  ") + e.detail;
      }
    }
    out += line + Outcome(e) + "\n";
  }

  out += "\nSummary\n";
  out += "  files deleted now: " + std::to_string(deleted) + ", in use (deleted at the restart): " +
         std::to_string(inUse) + ", already missing: " + std::to_string(missing) +
         "; operations waiting for the restart: " +
         std::to_string(effect_.pendingOperations.size()) + "\n";
  const auto show = [&](const char* name, const Before& v) {
    if (!v.hadBefore && !v.hasAfter) return;
    out += std::string("  ") + name + " before: " + (v.hadBefore ? v.before : "(none)") + "\n";
    out += std::string("  ") + name + " after:  " + (v.hasAfter ? v.after : "(none)") + "\n";
  };
  show("Path", path_);
  show("KSTA", ksta_);
  for (const auto& d : autoexecDropped_)
    out += "  " + autoexecPath_ + " line " + std::to_string(d.first) + " dropped: " + d.second + "\n";
  for (const auto& s : shortcutsKept_) out += "  shortcut kept: " + s + "\n";
  out += "  the workstation would differ in " +
         std::to_string(effect_.filesRemoved.size()) + " file(s) removed, " +
         std::to_string(effect_.filesCreated.size() + effect_.filesChanged.size()) +
         " written, " + std::to_string(effect_.directoriesRemoved.size()) +
         " director(y/ies) removed, " + std::to_string(effect_.keysRemoved.size()) +
         " key(s) removed, " + std::to_string(effect_.valuesRemoved.size()) +
         " value(s) removed, " + std::to_string(effect_.valuesSet.size()) + " value(s) set\n";
  if (!finalMessage_.empty())
    out += "  final message: \"" + SvOneLine(finalMessage_) + "\" answered " + finalAnswer_ + "\n";
  return TrimLines(out);
}

std::string CSvPlan::Json() const {
  std::string out = "{\n  \"command\": " + SvJsonQuote("KITPURGE.EXE " + commandLine_) + ",\n";
  out += "  \"log_path\": " + SvJsonQuote(logPath_) + ",\n  \"events\": [";
  bool first = true;
  for (const auto& e : events_) {
    if (e.kind == DryRunKind::kWrite && !logPath_.empty() && EndsWithNoCase(e.target, logPath_))
      continue;
    out += first ? "\n" : ",\n";
    first = false;
    out += "    {\"kind\": " + SvJsonQuote(KindName(e.kind)) + ", \"target\": " +
           SvJsonQuote(e.target) + ", \"detail\": " + SvJsonQuote(e.detail) +
           ", \"result\": " + std::to_string(e.result) + "}";
  }
  out += "\n  ],\n  \"log\": " + SvJsonQuote(log_) + ",\n";
  const auto value = [](const Before& v) {
    return "{\"before\": " + (v.hadBefore ? SvJsonQuote(v.before) : std::string("null")) +
           ", \"after\": " + (v.hasAfter ? SvJsonQuote(v.after) : std::string("null")) + "}";
  };
  out += "  \"path\": " + value(path_) + ",\n  \"ksta\": " + value(ksta_) + ",\n";
  out += "  \"autoexec_dropped\": [";
  for (size_t i = 0; i < autoexecDropped_.size(); ++i)
    out += std::string(i ? ", " : "") + "{\"line\": " + std::to_string(autoexecDropped_[i].first) +
           ", \"text\": " + SvJsonQuote(autoexecDropped_[i].second) + "}";
  out += "],\n  \"shortcuts_kept\": " + JsonList(shortcutsKept_) + ",\n";
  out += "  \"final\": {\"message\": " + SvJsonQuote(finalMessage_) +
         ", \"answer\": " + SvJsonQuote(finalAnswer_) + "},\n";
  out += "  \"effect\": {\n";
  out += "    \"files_removed\": " + JsonLines(effect_.filesRemoved) + ",\n";
  out += "    \"files_created\": " + JsonLines(effect_.filesCreated) + ",\n";
  out += "    \"files_changed\": " + JsonLines(effect_.filesChanged) + ",\n";
  out += "    \"directories_removed\": " + JsonLines(effect_.directoriesRemoved) + ",\n";
  out += "    \"directories_created\": " + JsonLines(effect_.directoriesCreated) + ",\n";
  out += "    \"keys_removed\": " + JsonLines(effect_.keysRemoved) + ",\n";
  out += "    \"keys_created\": " + JsonLines(effect_.keysCreated) + ",\n";
  out += "    \"values_removed\": " + JsonLines(effect_.valuesRemoved) + ",\n";
  out += "    \"values_set\": " + JsonLines(effect_.valuesSet) + ",\n";
  out += "    \"pending_operations\": " + JsonLines(effect_.pendingOperations) + "\n  }\n}\n";
  return out;
}
