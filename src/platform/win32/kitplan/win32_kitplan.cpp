// Entry point of KITPLAN.EXE, a console program:
//   KITPLAN.EXE [/JSON] [uninstall switches]  prints what KITPURGE.EXE /SILENT
//                                             would do here, changing nothing;
//   KITPLAN.EXE /LINT [path]                  checks a KITPURGE.DAT (default:
//                                             the one beside the program);
//   KITPLAN.EXE /VERIFY [/JSON]               tells what is left of the product
//                                             here, in its exit code too;
//   KITPLAN.EXE /ROLLUP folder                sums up the /VERIFY /JSON files
//                                             of many workstations.
#include "platform/win32/win32_api.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "plan/dryrun.h"
#include "plan/kitlint.h"
#include "plan/plan.h"
#include "plan/rollup.h"
#include "plan/verify.h"
#include "platform/win32/win32_platform.h"

namespace {

const char kUsage[] =
    "Usage: KITPLAN [/JSON] [uninstall switches]\n"
    "       KITPLAN /LINT [path of KITPURGE.DAT]\n"
    "       KITPLAN /VERIFY [/JSON]\n"
    "       KITPLAN /ROLLUP folder\n"
    "Prints what KITPURGE.EXE /SILENT with the same switches would do on this\n"
    "workstation, changing nothing; /LINT checks a kit file (exit code 0 clean,\n"
    "1 warnings, 2 errors).\n"
    "/VERIFY lists what is left of SOLVANE 32 on this workstation, changing\n"
    "nothing; its exit code: 0 nothing left, 1 only operations waiting for the\n"
    "restart (the uninstall completes at the restart), 2 traces remain, 3 cannot\n"
    "tell (no kit, unreadable kit, refused start-up check).  In a logon script:\n"
    "  KITPLAN.EXE /VERIFY /JSON > \\\\SERVER\\VERIFY\\%COMPUTERNAME%.JSON\n"
    "  IF ERRORLEVEL 3 GOTO CANNOTTELL\n"
    "  IF ERRORLEVEL 2 GOTO TRACES\n"
    "  IF ERRORLEVEL 1 GOTO RESTART\n"
    "/ROLLUP reads those files and prints, per verdict, the workstations and the\n"
    "traces most of them have; exit code 0 when every workstation is clean,\n"
    "otherwise the highest verdict.\n";

// Exit code of a command line KITPLAN cannot act on in /VERIFY and /ROLLUP.
constexpr int kCannotTell = 3;

bool IsOption(const std::string& word, const char* name) {
  return word.size() > 1 && (word[0] == '/' || word[0] == '-') &&
         lstrcmpiA(word.c_str() + 1, name) == 0;
}

// Blank-separated words; a quoted word keeps its blanks.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    if (at >= text.size()) break;
    std::string word;
    bool quoted = false;
    while (at < text.size() && (quoted || (text[at] != ' ' && text[at] != '\t'))) {
      if (text[at] == '"') {
        quoted = !quoted;
      } else {
        word += text[at];
      }
      ++at;
    }
    words.push_back(word);
  }
  return words;
}

bool ListDirectory(const std::string& directory, std::vector<svp::DryRunDirEntry>* entries) {
  const std::string pattern =
      directory + (directory.back() == '\\' ? "*" : "\\*");
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    entries->push_back({name, data.dwFileAttributes});
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return true;
}

// A folder of the file system, for the rollup.
class RollupFolder : public ISvRollupFolder {
 public:
  explicit RollupFolder(std::string path) : path_(std::move(path)) {
    if (!path_.empty() && path_.back() != '\\' && path_.back() != ':') path_ += '\\';
  }
  bool List(std::vector<std::string>* names, std::string* why) override {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((path_ + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
      *why = path_ + ": error " + std::to_string(::GetLastError());
      return false;
    }
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names->push_back(data.cFileName);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return true;
  }
  bool Read(const std::string& name, std::string* bytes, std::string* why) override {
    HANDLE file = ::CreateFileA((path_ + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      *why = "cannot be opened: error " + std::to_string(::GetLastError());
      return false;
    }
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while (ok && bytes->size() <= kSvMaxVerifyDocument) {
      ok = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE;
      if (!ok) *why = "cannot be read: error " + std::to_string(::GetLastError());
      if (!ok || got == 0) break;
      bytes->append(buffer, got);
    }
    ::CloseHandle(file);
    return ok;
  }

 private:
  std::string path_;
};

void Print(const std::string& text) {
  fwrite(text.data(), 1, text.size(), stdout);
  fflush(stdout);
}

std::string ModuleDirectory() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string directory(path, length);
  const size_t slash = directory.rfind('\\');
  return slash == std::string::npos ? "." : directory.substr(0, slash);
}

}  // namespace

int main() {
  const std::vector<std::string> words = Words(svp::Win32CommandLineArgs(::GetCommandLineA()));
  bool json = false;
  bool lint = false;
  bool verify = false;
  bool rollup = false;
  std::string lintPath;
  std::string rollupFolder;
  std::string switches;
  for (size_t i = 0; i < words.size(); ++i) {
    if (IsOption(words[i], "JSON")) {
      json = true;
    } else if (IsOption(words[i], "VERIFY")) {
      verify = true;
    } else if (IsOption(words[i], "ROLLUP")) {
      rollup = true;
      if (i + 1 < words.size() && words[i + 1][0] != '/' && words[i + 1][0] != '-')
        rollupFolder = words[++i];
    } else if (IsOption(words[i], "LINT")) {
      lint = true;
      if (i + 1 < words.size() && words[i + 1][0] != '/' && words[i + 1][0] != '-')
        lintPath = words[++i];
    } else if (IsOption(words[i], "?") || IsOption(words[i], "HELP")) {
      Print(kUsage);
      return 0;
    } else {
      // The uninstall's own switches, passed on as written.
      if (!switches.empty()) switches += ' ';
      switches += words[i];
    }
  }

  // The verify plans the whole uninstall; a switch that skips a part
  // would hide what that part leaves.
  if ((verify && (!switches.empty() || rollup || lint)) || (rollup && rollupFolder.empty())) {
    Print(kUsage);
    return kCannotTell;
  }
  if (rollup) {
    RollupFolder folder(rollupFolder);
    CSvRollup summary;
    summary.Read(folder);
    Print(summary.Text());
    return summary.ExitCode();
  }

  svp::Win32Platform platform;

  if (verify) {
    const SvVerifyResult result = SvVerify(platform.Parts(), ListDirectory);
    Print(json ? result.Json() : result.Text());
    return result.ExitCode();
  }

  if (lint) {
    const svp::ScopedPlatform installed(platform.Parts());
    if (lintPath.empty()) lintPath = ModuleDirectory() + "\\KITPURGE.DAT";
    CSvKitLint checker;
    const int code = checker.Check(lintPath);
    Print(checker.Report());
    return code;
  }

  svp::DryRunPlatform dry(platform.Parts(), ListDirectory);
  CSvPlan plan;
  plan.Run(dry, switches);
  Print(json ? plan.Json() : plan.Text());
  return 0;
}
