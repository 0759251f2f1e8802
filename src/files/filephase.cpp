#include "files/filephase.h"

#include <string>

#include "app/setupapp.h"
#include "app/switches.h"
#include "files/fileops.h"
#include "files/paths.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/platform.h"
#include "res/stringids.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

constexpr char kErrorCaption[] = "Installation Error";
// The question is composed in a buffer of this many characters.
constexpr size_t kMessageBuffer = 260;

bool IsSwitchSet(const CSvKit* kit, uint32_t id) {
  const CSvSwitchList* switches = kit->GetSwitchList();
  return switches != nullptr && switches->IsSwitchSet(id);
}

// What the walk does after one record.
enum class Next { kGoOn, kRetry, kAbort };

// Handles a failed record (path: its source) by logging it and, where the
// user must decide, asking.
Next ReportFailure(bool isDelete, uint32_t flags, const std::string& path) {
  // Copies that are neither required nor replaced at restart may fail.
  if (!isDelete && (flags & (kSvCopyRequired | kSvCopyReplaceAtRestart)) == 0) return Next::kGoOn;
  svp::IFileSystem& fs = svp::Fs();
  const uint32_t error = fs.GetLastError();
  std::string errorText;
  fs.FormatErrorText(error, &errorText);

  const uint32_t id = isDelete ? kIdsDeleteFailed : kIdsCopyFailed;
  SvLogMessage(id, path, error, errorText);
  // Gone already, or scheduled for the restart by SvDeleteFile.
  if (isDelete && (error == svp::kErrFileNotFound || error == svp::kErrAccessDenied ||
                   error == svp::kErrSharingViolation))
    return Next::kGoOn;

  std::string format;
  SvLoadString(id, &format);
  std::string message = SvFormat(format, {path, error, errorText});
  // The path and the error number come first, so cutting the end keeps
  // them and shortens only the platform's error text.
  if (message.size() > kMessageBuffer - 1) message.resize(kMessageBuffer - 1);

  const int answer = svp::Ui().MessageBox(message, kErrorCaption,
                                          svp::kMbAbortRetryIgnore | svp::kMbIconQuestion, false);
  if (answer == svp::kIdAbort) return Next::kAbort;
  if (answer == svp::kIdIgnore) return Next::kGoOn;
  return Next::kRetry;
}

}  // namespace

uint32_t SvPrepareLocations(CSvKit* kit) {
  SvPumpMessages();
  CSvMacroList* macros = kit->GetMacroList();
  for (CSvLocation* location : kit->Locations()) {
    if (macros == nullptr) return kSvFilePhaseNoMacros;
    location->ExpandPath(macros);
    if (!location->HasFiles()) continue;
    location->MapUncPath();
    const std::string path = location->GetPath();
    // Network directories are never created.
    if (SvIsUncPath(path.c_str())) continue;
    if (SvCreatePath(path) != kSvPathOk) {
      SvLogMessage(kIdsDirectoryCreateFailed, path);
      return kSvFilePhaseNoDirectory;
    }
    std::string shortPath;
    GetShortPath(path, shortPath);
    location->SetPath(shortPath);
  }

  svp::IFileSystem& fs = svp::Fs();
  std::string productDirectory;
  if (macros != nullptr) macros->GetMacroValue("LDID_SV", productDirectory);
  std::string saved;
  fs.GetCurrentDirectory(&saved);
  fs.SetCurrentDirectory(productDirectory);
  uint32_t sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  const bool haveSpace = fs.GetDiskFreeSpace(nullptr, &sectorsPerCluster, &bytesPerSector,
                                             &freeClusters, &totalClusters);
  fs.SetCurrentDirectory(saved);

  uint32_t available = 0;
  uint32_t required = 1;
  if (haveSpace) {
    // 32-bit like the estimate it is compared with; the removal sequence
    // does not act on the result.
    available = sectorsPerCluster * bytesPerSector * freeClusters;
    required = 0;
    for (CSvFile* file : kit->SelectedFiles())
      if (!file->GetDestName().empty()) required += SvGetFileSize(file);
  }
  kit->SetBytesRequired(required);
  return available < required ? kSvFilePhaseNoSpace : kSvFilePhaseOk;
}

uint32_t SvRunFilePhase(CSvKit* kit) {
  uint32_t result = kSvFilePhaseOk;
  SvPumpMessages();
  if (IsSwitchSet(kit, kSwNoCopy)) {
    SvLogMessage(kIdsCopySkipped);
    SvLogMessage(kIdsVcpClose);
    return kSvFilePhaseOk;
  }

  CSvWizard* wizard = kit->GetWizard();
  auto* page = new CSvCopyStatusPage(wizard);
  page->LoadPanelBitmap(kSvPanelBitmapId, kSvPanelControlId);
  if (wizard == nullptr || !wizard->AddPage(page, true)) {
    delete page;
    SvLogMessage(kIdsVcpClose);
    return kSvFilePhaseAborted;
  }

  page->SetTotalBytes(kit->GetBytesRequired());
  SvLogMessage(kIdsVcpOpen);
  const bool forceCopy = IsSwitchSet(kit, kSwForceCopy);

  for (CSvFile* file : kit->SelectedFiles()) {
    if (kit->IsCancelled()) {
      result = kSvFilePhaseCancelled;
      break;
    }
    Next next;
    do {
      SvPumpMessages();
      const bool isDelete = file->GetDestName().empty();
      uint32_t flags = file->GetCopyFlags();
      uint32_t status;
      const std::string path = SvGetFilePath(file, 0);
      if (isDelete) {
        SvLogMessage(kIdsDeleteFile, path);
        status = SvDeleteFile(file);
      } else {
        if (forceCopy) flags |= kSvCopyNoVersionCheck;
        SvLogMessage(kIdsCopyFile, path, SvGetFilePath(file, 1));
        status = SvCopyFile(kit, file, flags, page);
      }
      next = status == kSvFileOk || status == kSvFileCancelled
                 ? Next::kGoOn
                 : ReportFailure(isDelete, flags, path);
    } while (next == Next::kRetry);
    if (next == Next::kAbort) {
      result = kSvFilePhaseAborted;
      break;
    }
  }

  SvLogMessage(kIdsVcpClose);
  return result;
}
