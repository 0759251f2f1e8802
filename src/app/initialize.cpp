// The uninstall wizard's initialisation: from the command line to the open
// property sheet.
#include <algorithm>

#include "app/setupapp.h"
#include "app/switches.h"
#include "app/uninstall.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/platform.h"
#include "textedit/textfile.h"
#include "registry/reghelpers.h"
#include "res/stringids.h"
#include "textedit/texthelpers.h"
#include "wizard/pages.h"

const char kSvConfigurationKey[] =
    "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";
const char kSvOldConfigurationKey[] = "SOFTWARE\\OrrisLogic\\SOLVANE\\Setup\\CurrentConfiguration";

const char* const kSvStandardDirectories[8] = {"LDID_INF",    "LDID_SYS",     "LDID_WIN",
                                               "LDID_HELP",   "LDID_WINBOOT", "LDID_BOOT",
                                               "LDID_SHARED", "LDID_APPS"};
const SvDefaultMacro kSvDefaultOptions[5] = {{"_REQUIRED", "TRUE", SV_MACRO_VOLATILE},
                                             {"Reinstall", "FALSE", 0},
                                             {"InstallMode", "Typical", 0},
                                             {"VUDU_Installed", "TRUE", 0},
                                             {"TRLCORE_Installed", "TRUE", 0}};
const char* const kSvRunDirectories[5] = {"LDID_KITROOT", "LDID_SV", "LDID_SV_LONG", "LDID_OLDSV",
                                          "LDID_SVLLV"};
const char kSvStartNetwork[] = "StartNetwork";

namespace {

constexpr uint32_t kMinimumBuild = 1381;
constexpr size_t kCommandLineLimit = 255;
constexpr size_t kAnswerLineLimit = 259;

const char* const kLanguageCodes[] = {"FR", "DE", "SE", "CZ", "RU"};

const uint32_t kSwitches[] = {kSwSilent, kSwNoVerCheck, kSwNoNetCpl,    kSwNoTextEdit,
                              kSwNoCopy, kSwForceCopy,  kSwNoShortcuts, kSwForceNew};

// Reads the next whole line of at most kAnswerLineLimit characters.  A longer
// line is outside the answer file's format and is skipped whole, so its tail
// is never taken for a line of its own.
bool NextAnswerLine(CSvTextFile& file, std::string* line) {
  std::string chunk;
  while (file.Gets(&chunk, kAnswerLineLimit)) {
    bool complete = !chunk.empty() && chunk.back() == '\n';
    if (complete || chunk.size() < kAnswerLineLimit) {
      *line = chunk;
      return true;
    }
    // Exactly the limit and no line end: the last line of the file, a line of
    // exactly the limit whose line end comes next, or the start of a longer
    // line.
    std::string rest;
    if (!file.Gets(&rest, kAnswerLineLimit)) {
      *line = chunk;
      return true;
    }
    if (rest == "\n") {
      *line = chunk + rest;
      return true;
    }
    while (rest.empty() || rest.back() != '\n') {
      if (!file.Gets(&rest, kAnswerLineLimit)) return false;
    }
  }
  return false;
}

}  // namespace

int ParseLanguageSwitch(std::string& text, std::string& code) {
  code.clear();
  if (text.empty()) return kSvLanguageNone;
  size_t at = std::string::npos;
  for (const char* marker : {"-l", "-L", "/l", "/L"}) {
    at = text.find(marker);
    if (at != std::string::npos) break;
  }
  if (at == std::string::npos) return kSvLanguageNone;
  code = text.substr(at + 2, 2);
  text = text.substr(0, at) + text.substr(at + 2 + code.size());
  if (code.empty()) return kSvLanguageAccepted;
  for (const char* accepted : kLanguageCodes)
    if (SvEqualNoCase(code, accepted)) return kSvLanguageAccepted;
  return kSvLanguageUnknown;
}

// A directory the system cannot name gives no macro rather than a wrong one.
bool GetStandardDirectory(const char* name, std::string& directory) {
  if (name == nullptr) return false;
  std::string key = name;
  auto windows = [](std::string* out) { return svp::Sys().GetWindowsDirectory(out) != 0; };
  std::string value;
  if (key == "LDID_INF" || key == "LDID_HELP") {
    if (!windows(&value)) return false;
    value += key == "LDID_INF" ? "\\INF\\" : "\\HELP\\";
  } else if (key == "LDID_SYS") {
    if (svp::Sys().GetSystemDirectory(&value) == 0) return false;
  } else if (key == "LDID_WIN") {
    if (!windows(&value)) return false;
  } else if (key == "LDID_WINBOOT" || key == "LDID_BOOT") {
    value = "C:\\";
  } else if (key == "LDID_SHARED" || key == "LDID_APPS") {
    std::string folder;
    if (!SvLoadString(kIdsAppsDirectory, &folder)) {
      value = "c:\\sv32";
    } else {
      if (!windows(&value)) return false;
      value = value.substr(0, 3) + folder;
    }
  } else {
    return false;
  }
  directory = value;
  return true;
}

bool WriteAnswerValue(const std::string& name, const std::string& value) {
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  if (reg.OpenKey(svp::kHKeyLocalMachine, kSvConfigurationKey, svp::kMaximumAllowed, &key) != 0) {
    bool created = false;
    if (reg.CreateKey(svp::kHKeyLocalMachine, kSvConfigurationKey, svp::kRegOptionNonVolatile,
                      svp::kKeyAllAccess, &key, &created) != 0)
      return true;
  }
  std::string data = value;
  if (data.find('\n') != std::string::npos) data.pop_back();
  reg.SetValue(key, name, svp::kRegSz, reinterpret_cast<const uint8_t*>(data.data()),
               static_cast<uint32_t>(data.size()));
  reg.CloseKey(key);
  return true;
}

bool ReadAnswerFile(const std::string& path) {
  CSvTextFile file;
  // Read and write: a file the user may not change is not taken.
  if (file.Open(path, "r+t") != 0) return true;
  std::string line;
  // A read error ends the file like its end does.
  while (NextAnswerLine(file, &line)) {
    if (line.find("//") != std::string::npos) continue;
    if (line.size() <= 2) continue;
    size_t equals = line.find('=');
    // A line without "=" names nothing: skipped.
    if (equals == std::string::npos) continue;
    WriteAnswerValue(line.substr(0, equals), line.substr(equals + 1));
  }
  file.Close();
  return true;
}

bool CSvUninstallWizard::Initialize() {
  uint32_t error = 0;
  std::string logPath;
  svp::ISystem& sys = svp::Sys();

  SvRegMoveValues(kSvConfigurationKey, kSvOldConfigurationKey, "OrrisLogic");

  for (const char* name : kSvStandardDirectories) {
    std::string directory;
    if (GetStandardDirectory(name, directory))
      macros_->AddMacro(name, directory.c_str(), SV_MACRO_VOLATILE);
  }

  for (uint32_t id : kSwitches) switches_->AddSwitch(id);

  const std::string commandLine = sys.GetCommandLineArgs();
  // Longer command lines are cut; the appended "/SILENT" still fits since
  // the copy is a string of its own.
  std::string work = commandLine.substr(0, kCommandLineLimit);

  if (work.find("AUTOSETUP") != std::string::npos) {
    switches_->AddSwitch(kSwAutoSetup);
    if (work.find("SILENT") == std::string::npos) {
      work += "/SILENT";
      if (work.find("AUTOSETUP=") != std::string::npos ||
          work.find("AUTOSETUP =") != std::string::npos) {
        size_t start = work.find('=') + 1;
        size_t end = work.find('/', start);
        ReadAnswerFile(work.substr(start, end - start));
      }
    }
  }

  do {
    std::string code;
    int language = ParseLanguageSwitch(work, code);
    if (language == kSvLanguageUnknown) {
      error = kIdsUsage;
      break;
    }
    if (language == kSvLanguageAccepted)
      macros_->AddMacro("LDID_SVLLV", code.c_str(), SV_MACRO_VOLATILE);

    if (!switches_->ParseSwitches(work.c_str(), "/-")) {
      error = kIdsUsage;
      break;
    }

    error = kIdsInitFailed;
    std::string logTemplate;
    if (!SvLoadString(kIdsLogPath, &logTemplate)) break;
    macros_->ExpandMacros(logTemplate.c_str(), logPath, '{', '}');

    // The log is opened exclusively: failing means another instance runs.
    if (!SvOpenLog(logPath)) {
      error = kIdsSecondInstance;
      break;
    }
    SvLogMessage(kIdsCommandLine, commandLine);

    if (switches_->IsSwitchSet(kSwForceNew))
      svp::Reg().DeleteKey(macros_->GetRootKey(), macros_->GetSubKey());

    if (!switches_->IsSwitchSet(kSwNoVerCheck)) {
      svp::OsVersion version;
      version.size = 148;
      if (sys.GetVersionEx(&version)) {
        SvLogMessage(kIdsRunningOnBuild, version.build & 0xFFFFu);
        if (version.build < kMinimumBuild) {
          SvMessageBox(kIdsBuildTooOld, kSvBoxIconExclamation, kMinimumBuild);
          return false;
        }
      }
    }

    for (const SvDefaultMacro& option : kSvDefaultOptions)
      macros_->AddMacro(option.name, option.value, option.flags);

    std::string current;
    svp::Fs().GetCurrentDirectory(&current);
    std::string moduleDirectory = SvGetApp() != nullptr ? SvGetApp()->GetModuleDirectory()
                                                        : SvComputeModuleDirectory(current);
    if (kit_->LoadKitData(moduleDirectory.c_str(), "KITPURGE.DAT") != kSvKitOk) break;

    bool added = AddPage(new CSvSplashPage(this), false);
    added = added && AddPage(new CSvTargetDirPage(this), false);
    added = added && AddPage(new CSvOldVersionPage(this), false);
    if (!added) break;

    if (!Create(switches_->IsSwitchSet(kSwAutoSetup))) break;

    SetFinishAllowed(true);
    return true;
  } while (false);

  if (error == kIdsUsage)
    SvMessageBox(error, kSvBoxIconExclamation);
  else
    SvMessageBox(error, kSvBoxIconExclamation, logPath);
  return false;
}
