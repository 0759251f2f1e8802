#include "wizard/pages.h"

#include "app/switches.h"
#include "files/paths.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "netcfg/oldversion.h"
#include "platform/platform.h"
#include "res/stringids.h"
#include "textedit/texthelpers.h"
#include "wizard/wizard.h"

namespace {

// The target page's own panel bitmap, which the resources do not hold.
constexpr uint32_t kTargetPanelBitmapId = 120;

// Buffer sizes of the short-name queries (with the terminating NUL).
constexpr uint32_t kShortNameExchange = 64;
constexpr uint32_t kShortNameCreated = 260;

// GetShortPathNameA into a buffer of `size`; false when it gives nothing or
// the result would not fit.
bool QueryShortName(const std::string& path, uint32_t size, std::string* out) {
  std::string shortName;
  uint32_t length = svp::Fs().GetShortPathName(path, size, &shortName);
  if (length == 0 || length >= size) return false;
  *out = shortName;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
CSvSplashPage::CSvSplashPage(CSvWizard* wizard) : CSvWizardPage(kSvIddSplash, wizard) {
  SetName("SplashScreen");
}

bool CSvSplashPage::OnInitDialog() {
  CSvWizardPage::OnInitDialog();
  version_ = "7.3.026";
  LoadPanelBitmap(kSvPanelBitmapId, kSvPanelControlId);
  return true;
}

void CSvSplashPage::DoDataExchange(bool save) {
  if (save)
    version_ = svp::Sheets().GetItemText(window_, kSvIdcSplashVersion);
  else
    svp::Sheets().SetItemText(window_, kSvIdcSplashVersion, version_);
}

bool CSvSplashPage::OnCommand(uint32_t id) {
  if (id != kSvIdcSplashReadme) return false;
  OnReadme();
  return true;
}

void CSvSplashPage::OnReadme() {
  std::string path;
  std::string expanded;
  SvLoadString(kIdsReadmePath, &path);
  GetMacroList()->ExpandMacros(path.c_str(), expanded, '{', '}');
  // A missing readme gets whatever the shell shows; nothing of ours.
  svp::Shell().OpenDocument(expanded);
}

// ---------------------------------------------------------------------------
CSvTargetDirPage::CSvTargetDirPage(CSvWizard* wizard)
    : CSvWizardPage(kSvIddTargetDir, wizard) {
  SetName("Target Directory");
  CSvMacroList* macros = GetMacroList();
  silent_ = GetSwitchList()->IsSwitchSet(kSwSilent) ? 1 : 0;

  std::string candidate;
  macros->GetMacroValue("LDID_APPS", candidate);
  // An earlier product generation recorded its directory in KSTA.  Set is
  // set, even to an empty value: the platform reports that one as present.
  std::string ksta;
  if (svp::Sys().GetEnvironmentVariable("KSTA", &ksta) && !macros->IsMacroTrue("Reinstall")) {
    SvLogMessage(kIdsUpgradeDetected, ksta);
    macros->AddMacro("Upgrade", "TRUE", SV_MACRO_VOLATILE);
    candidate = ksta;
  }
  // Persistent: what the installed product recorded wins over the candidate.
  macros->AddMacro("LDID_SV", candidate.c_str(), 0);
  macros->AddMacro("LDID_SV_LONG", candidate.c_str(), 0);
  macros->GetMacroValue("LDID_SV_LONG", directory_);
  SvRemoveTrailingChar(directory_, '\\');
  macros->AddMacro("LDID_OLDSV", directory_.c_str(), SV_MACRO_VOLATILE);
}

bool CSvTargetDirPage::OnInitDialog() {
  CSvWizardPage::OnInitDialog();
  // This page's own bitmap is not among the resources: its panel stays empty.
  LoadPanelBitmap(kTargetPanelBitmapId, kSvPanelControlId);
  return true;
}

void CSvTargetDirPage::DoDataExchange(bool save) {
  CSvMacroList* macros = GetMacroList();
  if (!save) {
    std::string value;
    macros->GetMacroValue("LDID_SV_LONG", value);
    GetLongPath(value, directory_);
    svp::Sheets().SetItemText(window_, kSvIdcTargetEdit, directory_);
    return;
  }
  directory_ = svp::Sheets().GetItemText(window_, kSvIdcTargetEdit);
  SvRemoveTrailingChar(directory_, '\\');
  macros->SetMacroValue("LDID_SV_LONG", directory_.c_str());
  // A short form longer than 63 characters does not fit the exchange
  // buffer; the long form is kept then.
  std::string shortForm = directory_;
  QueryShortName(directory_, kShortNameExchange, &shortForm);
  macros->SetMacroValue("LDID_SV", shortForm.c_str());
}

bool CSvTargetDirPage::IsRequired() {
  // From the first button update on, a missing directory is created without
  // asking.
  silent_ = 1;
  if (GetSwitchList()->IsSwitchSet(kSwNoCopy)) return false;
  return Validate(true) != kSvPageValid;
}

int CSvTargetDirPage::Validate(bool showMessages) {
  CSvMacroList* macros = GetMacroList();
  SvTrim(directory_);
  if (directory_.empty()) {
    if (showMessages && IsCurrentPage()) SvLogMessageBox(kIdsDirectoryRequired, kSvBoxOk);
    return kSvPageInvalid;
  }
  if (SvIsUncPath(directory_.c_str())) {
    if (showMessages) SvMessageBox(kIdsNoUncPath, kSvBoxIconExclamation);
    return kSvPageInvalid;
  }
  if (SvIsDriveRoot(directory_.c_str()) || directory_.size() < 3) {
    if (showMessages) SvMessageBox(kIdsNeedSubdirectory, kSvBoxIconExclamation);
    return kSvPageInvalid;
  }
  uint32_t check = SvCheckPath(directory_);
  if (check == kSvPathOk) {
    std::string shortForm;
    GetShortPath(directory_, shortForm);
    macros->SetMacroValue("LDID_SV", shortForm.c_str());
    return kSvPageValid;
  }
  if (!showMessages) return kSvPageInvalid;
  if (check == kSvPathNotFound) {
    bool create =
        silent_ != 0 || SvMessageBox(kIdsCreateDirectory, kSvBoxYesNo, directory_) == kSvAnswerYes;
    if (!create) return kSvPageInvalid;
    if (SvCreatePath(directory_) == kSvPathOk) {
      std::string shortForm = directory_;
      QueryShortName(directory_, kShortNameCreated, &shortForm);
      macros->SetMacroValue("LDID_SV", shortForm.c_str());
      return kSvPageValid;
    }
    // The failure boxes carry the exclamation icon like the other refusals.
    if (IsCurrentPage()) SvLogMessageBox(kIdsCannotCreate, kSvBoxIconExclamation, directory_);
    return kSvPageInvalid;
  }
  if (IsCurrentPage()) SvLogMessageBox(kIdsBadDirectory, kSvBoxIconExclamation, directory_);
  return kSvPageInvalid;
}

bool CSvTargetDirPage::OnCommand(uint32_t id) {
  if (id != kSvIdcTargetBrowse) return false;
  OnBrowse();
  return true;
}

void CSvTargetDirPage::OnBrowse() {
  CSvMacroList* macros = GetMacroList();
  macros->GetMacroValue("LDID_SV_LONG", directory_);
  svp::OpenFileRequest request;
  request.templateId = kSvIddDirChooser;
  request.initialDirectory = directory_;
  request.fileName = "*.";
  request.flags = svp::kOfnHideReadOnly;
  request.directoryOnly = true;
  request.owner = window_;
  std::string chosen;
  if (!svp::Ui().GetOpenFileName(request, &chosen)) return;
  size_t slash = chosen.find_last_of('\\');
  std::string directory = slash == std::string::npos ? chosen : chosen.substr(0, slash);
  // A bare drive keeps its backslash: "C:" alone names a current directory.
  if (directory.size() == 2 && directory[1] == ':') directory += '\\';
  directory_ = directory;
  macros->SetMacroValue("LDID_SV_LONG", directory_.c_str());
  if (window_ != 0) svp::Sheets().SetItemText(window_, kSvIdcTargetEdit, directory_);
}

// ---------------------------------------------------------------------------
CSvOldVersionPage::CSvOldVersionPage(CSvWizard* wizard)
    : CSvWizardPage(kSvIddOldVersion, wizard) {
  SetName("Kitpurge41b");
}

bool CSvOldVersionPage::IsRequired() { return SvIsNetRegistrationPresent(); }

bool CSvOldVersionPage::OnInitDialog() {
  CSvWizardPage::OnInitDialog();
  LoadPanelBitmap(kSvPanelBitmapId, kSvPanelControlId);
  return true;
}

intptr_t CSvOldVersionPage::OnSetActive() {
  CSvWizardPage::OnSetActive();
  // Only Back or the page's own answer: cancelling half-way through the old
  // version's removal is not offered.
  wizard_->EnableCancel(false);
  wizard_->PostButtons(svp::kWizBack);
  return svp::kPsnGoOn;
}

intptr_t CSvOldVersionPage::OnKillActive() {
  CSvWizardPage::OnKillActive();
  wizard_->EnableCancel(true);
  wizard_->UpdateButtons(true);
  return svp::kPsnGoOn;
}

bool CSvOldVersionPage::OnCommand(uint32_t id) {
  if (id != kSvIdcOldVersionYes) return false;
  wizard_->OnOldVersionYes();
  return true;
}

// ---------------------------------------------------------------------------
CSvFinishStatusPage::CSvFinishStatusPage(CSvWizard* wizard)
    : CSvWizardPage(kSvIddFinishStatus, wizard) {}

// The controls only display; nothing is read back from them.
void CSvFinishStatusPage::DoDataExchange(bool save) {
  if (save) return;
  svp::ISheetHost& sheets = svp::Sheets();
  sheets.SetCheck(window_, kSvIdcNetworkTick, networkTick_ != 0);
  sheets.SetItemText(window_, kSvIdcNetworkText, networkText_);
  sheets.SetCheck(window_, kSvIdcShortcutTick, shortcutTick_ != 0);
  sheets.SetItemText(window_, kSvIdcShortcutText, shortcutText_);
}

void CSvFinishStatusPage::SetNetworkStatus(const std::string& text) {
  networkTick_ = 1;
  networkText_ = text;
  UpdateData(false);
}

void CSvFinishStatusPage::SetShortcutStatus(const std::string& text) {
  shortcutTick_ = 1;
  shortcutText_ = text;
  UpdateData(false);
}

// ---------------------------------------------------------------------------
CSvCopyStatusPage::CSvCopyStatusPage(CSvWizard* wizard)
    : CSvWizardPage(kSvIddCopyStatus, wizard) {
  SetName("Copy Status");
}

bool CSvCopyStatusPage::OnInitDialog() {
  CSvWizardPage::OnInitDialog();
  initialised_ = 1;
  return true;
}

// The controls only display; nothing is read back from them.
void CSvCopyStatusPage::DoDataExchange(bool save) {
  if (save) return;
  svp::Sheets().SetItemText(window_, kSvIdcCopyFirst, firstText_);
  svp::Sheets().SetItemText(window_, kSvIdcCopySecond, secondText_);
}

bool CSvCopyStatusPage::SetCopyStatus(const std::string& d1, const std::string& f1,
                                      const std::string& d2, const std::string& f2) {
  SvShortenPathForDisplay(d1 + "\\" + f1, firstText_, 35);
  SvShortenPathForDisplay(d2 + "\\" + f2, secondText_, 35);
  return UpdateData(false);
}
