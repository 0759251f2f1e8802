// The removal sequence started by Finish, the cancel question, the old-version
// answer and the end of the run (log closed, Windows restarted when agreed).
#include <cstdint>
#include <string>

#include "app/uninstall.h"
#include "files/filephase.h"
#include "files/paths.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "netcfg/netphase.h"
#include "netcfg/oldversion.h"
#include "netcfg/shortcuts.h"
#include "platform/platform.h"
#include "registry/cleanup.h"
#include "registry/reghelpers.h"
#include "res/stringids.h"
#include "wizard/pages.h"

const SvProductKey kSvProductKeys[13] = {
    {svp::kHKeyLocalMachine, kSvConfigurationKey, false},
    {svp::kHKeyLocalMachine, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Event Logger", false},
    {svp::kHKeyLocalMachine, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup", false},
    {svp::kHKeyLocalMachine, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE", false},
    {svp::kHKeyCurrentUser, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\NXFT\\RemoteHostList", false},
    {svp::kHKeyCurrentUser, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\NXFT", false},
    {svp::kHKeyCurrentUser, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Event Log Viewer", false},
    {svp::kHKeyCurrentUser, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\SVRemote\\Ini", false},
    {svp::kHKeyCurrentUser, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\SVRemote", false},
    {svp::kHKeyCurrentUser, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE", false},
    {svp::kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\RIZUDAV", true},
    {svp::kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\TRLLAT", true},
    {svp::kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\RAVEDOZERUZU", true},
};

namespace {

constexpr char kSocketsCleanupProgram[] = "svs2tnst.exe";
constexpr uint32_t kHighPriorityClass = 0x80;

void DeleteProductKeys() {
  svp::IRegistry& reg = svp::Reg();
  // A configuration key that cannot go (a sub-key was added to it) means
  // someone still relies on the product's registration: everything stays.
  const SvProductKey& configuration = kSvProductKeys[0];
  if (reg.DeleteKey(configuration.root, configuration.path) != 0) {
    SvLogMessage(kIdsConfigurationKeyKept);
    return;
  }
  for (const SvProductKey& key : kSvProductKeys) {
    if (&key == &configuration) continue;
    if (key.tree) {
      SvRegDeleteTree(key.root, key.path);
    } else if (reg.DeleteKey(key.root, key.path) == 0) {
      SvLogMessage(kIdsKeyDeleted);
    }
  }
}

// The phases from the network phase to the product directories; true when
// every one completed.
bool RunPhases(CSvUninstallWizard* wizard, CSvKit* kit, CSvMacroList* macros) {
  svp::IUserInterface& ui = svp::Ui();
  auto* page = new CSvFinishStatusPage(wizard);
  page->LoadPanelBitmap(kSvPanelBitmapId, kSvPanelControlId);
  if (!wizard->AddPage(page, true)) {
    delete page;
    return false;
  }

  if (macros != nullptr) {
    macros->AddMacro(kSvStartNetwork, "", 0);
    macros->SetMacroBool(kSvStartNetwork, 0);
    macros->SaveMacrosToRegistry(kSvStartNetwork);
  }
  if (SvRunNetworkPhase(kit, page) != kSvNetOk) return false;

  // Nothing waits for the Sockets clean-up program; it runs beside the rest.
  if (svp::Sys().StartProcess(kSocketsCleanupProgram, kHighPriorityClass) != 0)
    SvLogMessage(kIdsSocketsCleanupFailed);

  // The file phase shows its own progress page.
  ui.EndWaitCursor();
  const uint32_t files = SvRunFilePhase(kit);
  ui.BeginWaitCursor();
  if (files != kSvFilePhaseOk) return false;

  if (macros != nullptr) {
    macros->SetMacroBool(kSvStartNetwork, 1);
    macros->SaveMacrosToRegistry(kSvStartNetwork);
  }
  if (SvRunShortcutPhase(kit, page) != kSvShortcutPhaseOk) return false;
  if (kit->ProcessTextEdits(page) != kSvKitOk) return false;
  if (SvCleanEnvironment(kit) != kSvEnvironmentCleaned) return false;
  if (SvCleanAutoexec() == kSvCleanupStop) return false;
  if (SvRemoveProductDirectories() == kSvCleanupStop) return false;
  return true;
}

}  // namespace

intptr_t CSvUninstallWizard::Finish() {
  uint32_t message = kIdsUninstallFailed;
  uint32_t type = kSvBoxIconExclamation;
  svp::IUserInterface& ui = svp::Ui();

  ui.BeginWaitCursor();
  PostButtons(svp::kWizDisabledFinish);
  SvLogMessage(kIdsFinishStart);
  SetFinishing(true);
  SvResetAdapterAddresses();
  EvaluateRequirements();
  CSvKit* kit = GetKit();
  SvPrepareLocations(kit);
  EnableCancel(false);
  CSvMacroList* macros = GetMacroList();
  if (macros != nullptr) macros->SaveMacrosToRegistry("*");

  if (RunPhases(this, kit, macros)) {
    message = kIdsRestartQuestion;
    type = kSvBoxYesNo | kSvBoxIconQuestion;
  }

  DeleteProductKeys();
  ui.EndWaitCursor();
  const int answer = SvMessageBox(message, type);
  if (message == kIdsRestartQuestion && answer == kSvAnswerYes) {
    SetRestart(true);
    SvLogMessage(kIdsWillReboot);
  }
  SvLogMessage(kIdsFinishEnd);
  PostQuit(0);
  return kSvFinishHandled;
}

bool CSvUninstallWizard::OnCancel() {
  if (SvMessageBox(kIdsCancelQuestion, kSvBoxYesNo | kSvBoxIconQuestion) != kSvAnswerYes)
    return true;
  std::string productDirectory;
  if (CSvMacroList* macros = GetMacroList()) {
    // Only an empty directory goes: the platform refuses any other.
    if (macros->GetMacroValue("LDID_SV", productDirectory) == kSvMacroOk &&
        SvCheckPath(productDirectory) == kSvPathOk)
      svp::Fs().RemoveDirectory(productDirectory);
  }
  if (CSvKit* kit = GetKit()) kit->SetCancelled();
  return false;
}

void CSvUninstallWizard::OnOldVersionYes() {
  SvRemoveNetRegistrations();
  if (SvMessageBox(kIdsOldVersionRemoved, kSvBoxYesNo | kSvBoxIconQuestion) == kSvAnswerYes) {
    SetRestart(true);
    SvLogMessage(kIdsWillReboot);
  }
  PostQuit(0);
}

CSvUninstallWizard::~CSvUninstallWizard() {
  SvLogMessage(kIdsDestroyingWizard);
  SvLogMessage(kIdsClosingLog);
  SvCloseLog();
  if (restart_ != 0) svp::Sys().RestartWindows();
}
