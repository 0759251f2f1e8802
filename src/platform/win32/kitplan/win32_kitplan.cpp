// Entry point of KITPLAN.EXE, a console program:
//   KITPLAN.EXE [/JSON] [uninstall switches]  prints what KITPURGE.EXE /SILENT
//                                             would do here, changing nothing;
//   KITPLAN.EXE /LINT [path]                  checks a KITPURGE.DAT (default:
//                                             the one beside the program).
#include "platform/win32/win32_api.h"

#include <cstdio>
#include <string>
#include <vector>

#include "plan/dryrun.h"
#include "plan/kitlint.h"
#include "plan/plan.h"
#include "platform/win32/win32_platform.h"

namespace {

const char kUsage[] =
    "Usage: KITPLAN [/JSON] [uninstall switches]\n"
    "       KITPLAN /LINT [path of KITPURGE.DAT]\n"
    "Prints what KITPURGE.EXE /SILENT with the same switches would do on this\n"
    "workstation, changing nothing; /LINT checks a kit file (exit code 0 clean,\n"
    "1 warnings, 2 errors).\n";

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
  std::string lintPath;
  std::string switches;
  for (size_t i = 0; i < words.size(); ++i) {
    if (IsOption(words[i], "JSON")) {
      json = true;
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

  svp::Win32Platform platform;

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
