#include "app/setupapp.h"

#include "app/switches.h"
#include "app/uninstall.h"
#include "log/svlog.h"
#include "netcfg/netsetup.h"
#include "platform/platform.h"
#include "platform/sheet.h"
#include "res/stringids.h"
#include "wizard/page.h"

namespace {

CSetupApp* g_app = nullptr;

bool IsSupportedWindows() {
  svp::OsVersion version;
  version.size = 148;
  if (!svp::Sys().GetVersionEx(&version)) return false;
  if ((version.platformId & 2) == 0) return false;
  if (version.major < 4) return false;
  if (version.major == 4 && version.minor == 0 && version.build < 1381) return false;
  return true;
}

}  // namespace

CSetupApp* SvGetApp() { return g_app; }

std::string SvComputeModuleDirectory(const std::string& fallback) {
  std::string path;
  if (svp::Fs().GetModuleFileName(&path) == 0) return fallback;
  // Drive and directory of the path, as _splitpath gives them.
  size_t drive = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  size_t slash = path.find_last_of("\\/");
  std::string directory =
      slash == std::string::npos || slash < drive ? path.substr(0, drive) + "\\"
                                                  : path.substr(0, slash + 1);
  // Drop the directory's trailing separator: D:\PROG.EXE gives "D:".
  directory.pop_back();
  // A bare file name names no directory; the current one is the best guess.
  return directory.empty() ? fallback : directory;
}

void SvPumpMessages() { svp::Ui().PumpMessages(); }

CSetupApp::CSetupApp() {
  if (g_app == nullptr) g_app = this;
}

CSetupApp::~CSetupApp() {
  wizard_.reset();
  if (g_app == this) g_app = nullptr;
}

bool CSetupApp::IsUserAdmin() { return svp::Sys().IsUserAdmin(); }

bool CSetupApp::InitInstance() {
  svp::Sheets().InitCommonControls();
  if (!IsSupportedWindows()) {
    SvMessageBox(kIdsWrongWindows, kSvBoxIconStop);
    return false;
  }
  if (!IsUserAdmin()) {
    SvMessageBox(kIdsNotAdmin, kSvBoxIconStop);
    return false;
  }
  if (SvLoadNetSetupLibrary() != kSvNetSetupOk) {
    SvMessageBox(kIdsNetSetupMissing, kSvBoxIconStop);
    return false;
  }
  std::string subKey;
  if (!SvLoadString(kIdsConfigurationKey, &subKey)) return false;

  svp::Fs().GetCurrentDirectory(&savedDirectory_);
  moduleDirectory_ = SvComputeModuleDirectory(savedDirectory_);
  svp::Fs().SetCurrentDirectory(moduleDirectory_);

  wizard_ = std::make_unique<CSvUninstallWizard>(subKey, svp::kHKeyLocalMachine);
  if (!wizard_->Initialize()) return false;

  if (wizard_->GetSwitchList()->IsSwitchSet(kSwSilent)) {
    CSvWizardPage* next = wizard_->GetNextPage();
    if (next == nullptr) {
      // Posted: the removal starts once the message loop runs.
      wizard_->PressButton(svp::kPsbtnFinish, false);
    } else {
      wizard_->PressButton(svp::kPsbtnNext, true);
      if (wizard_->GetCurrentPage() == next) next->Validate(true);
    }
  }
  return true;
}

bool CSetupApp::PreTranslateMessage(const void* message) {
  if (wizard_ == nullptr || wizard_->GetSafeHwnd() == 0) return false;
  return svp::Sheets().IsDialogMessage(wizard_->GetSafeHwnd(), message);
}

int CSetupApp::ExitInstance(int quitCode) {
  if (!savedDirectory_.empty()) svp::Fs().SetCurrentDirectory(savedDirectory_);
  wizard_.reset();
  SvFreeNetSetupLibrary();
  // Every quit of this program is posted with 0.
  return quitCode;
}
