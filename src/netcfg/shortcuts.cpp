#include "netcfg/shortcuts.h"

#include <string>

#include "app/setupapp.h"
#include "app/switches.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/platform.h"
#include "res/stringids.h"
#include "wizard/pages.h"

namespace {

constexpr char kDesktopMarker[] = "Desktop";
constexpr char kProductShortcut[] = "SOLVANE 32";
constexpr char kProgramGroup[] = "Solvane 32";

void SetStatus(CSvFinishStatusPage* page, const std::string& text) {
  if (page != nullptr) page->SetShortcutStatus(text);
}

void DeleteShortcut(const std::string& pathWithoutExtension) {
  svp::IFileSystem& fs = svp::Fs();
  fs.DeleteFile(pathWithoutExtension + ".lnk");
  fs.DeleteFile(pathWithoutExtension + ".pif");
}

}  // namespace

uint32_t SvRunShortcutPhase(CSvKit* kit, CSvFinishStatusPage* page) {
  SvPumpMessages();
  SvLogMessage(kIdsShortcutPhaseStart);
  const CSvSwitchList* switches = kit->GetSwitchList();
  if (switches != nullptr && switches->IsSwitchSet(kSwNoShortcuts)) {
    SvLogMessage(kIdsShortcutPhaseSkipped);
    return kSvShortcutPhaseOk;
  }

  svp::IShell& shell = svp::Shell();
  std::string completed;
  SvLoadString(kIdsCompleted, &completed);
  std::string programs;
  // Without the common programs folder every name would resolve against the
  // root of the current drive; nothing is deleted then.
  if (!shell.GetSpecialFolderPath(svp::kCsidlCommonPrograms, &programs) || programs.empty()) {
    SetStatus(page, completed);
    return kSvShortcutPhaseOk;
  }
  programs += '\\';

  // Only the desktop folder's local name is used ("Bureau" on a French
  // system); when the shell cannot name it, the kit's own word stays.
  std::string desktopName = kDesktopMarker;
  std::string desktop;
  if (shell.GetSpecialFolderPath(svp::kCsidlDesktop, &desktop)) {
    const size_t slash = desktop.find_last_of('\\');
    const std::string last = slash == std::string::npos ? desktop : desktop.substr(slash + 1);
    if (!last.empty()) desktopName = last;
  }

  shell.InitializeCom();
  std::string removing;
  SvLoadString(kIdsRemoving, &removing);
  const CSvMacroList* macros = kit->GetMacroList();
  for (const CSvShortcut* shortcut : kit->Shortcuts()) {
    const bool condition =
        macros != nullptr && macros->IsMacroTrue(shortcut->GetCondition().c_str());
    // Folder texts are kept whole: one longer than a path can be names no
    // shortcut, and its deletion simply fails.
    std::string folder = shortcut->GetFolder();
    const size_t marker = folder.find(kDesktopMarker);
    if (marker != std::string::npos) folder = folder.substr(0, marker) + desktopName;
    if (condition && !shortcut->GetKeep().empty()) continue;
    SetStatus(page, removing + shortcut->GetLinkName());
    DeleteShortcut(programs + folder + "\\" + shortcut->GetLinkName());
  }

  DeleteShortcut(programs + kProductShortcut);
  svp::Fs().RemoveDirectory(programs + kProgramGroup);
  SetStatus(page, completed);
  shell.UninitializeCom();
  return kSvShortcutPhaseOk;
}
