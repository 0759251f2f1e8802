#include "netcfg/netphase.h"

#include "app/setupapp.h"
#include "app/switches.h"
#include "kit/kit.h"
#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/platform.h"
#include "res/stringids.h"
#include "wizard/pages.h"

namespace {

// Flags of a network component record.
enum : uint32_t {
  kNetSecondAttempt = 0x1,  // installed: a second call retries a failed removal
  kNetKeepIfAbsent = 0x2,   // condition false: not looked up
  kNetSingleAttempt = 0x4,  // installed: one call; condition false: not looked up
};

}  // namespace

std::string SvGetNetSetupErrorText(uint32_t code) {
  std::string text;
  // Identifiers of the string table are 16-bit; a larger code has no entry.
  if (code > 0xFFFFu || !SvLoadString(code, &text)) SvLoadString(kIdsNetUnknownError, &text);
  return text;
}

uint32_t SvRemoveNetComponent(CSvKit* kit, const CSvNetComponent* component,
                              CSvFinishStatusPage* page) {
  std::string systemDirectory;
  if (CSvMacroList* macros = kit->GetMacroList()) macros->GetMacroValue("LDID_SYS", systemDirectory);
  // The INF path only serves as the buffer the library returns the INF name in.
  std::string infPath = systemDirectory + "\\" + component->GetInfFile();
  svp::INetSetup& net = svp::Net();
  if (net.FindSoftwareComponent(component->GetOption(), &infPath) != 0) return kSvNetOk;

  if (page != nullptr) {
    std::string removing;
    SvLoadString(kIdsRemoving, &removing);
    page->SetNetworkStatus(removing + component->GetDisplayName());
  }
  uint32_t infResult = 0;
  const uint32_t code = net.ComponentRemove(component->GetOption(), &infResult);
  if (code != 0) {
    SvLogMessageBox(kIdsNetRemoveFailed, kSvBoxIconExclamation, component->GetOption(), code,
                    SvGetNetSetupErrorText(code));
    return kSvNetRemoveFailed;
  }
  return kSvNetOk;
}

uint32_t SvRunNetworkPhase(CSvKit* kit, CSvFinishStatusPage* page) {
  uint32_t result = kSvNetOk;
  SvPumpMessages();
  SvLogMessage(kIdsNetPhaseStart);
  const CSvSwitchList* switches = kit->GetSwitchList();
  if (switches != nullptr && switches->IsSwitchSet(kSwNoNetCpl)) {
    SvLogMessage(kIdsNetPhaseSkipped);
    return kSvNetOk;
  }

  const CSvMacroList* macros = kit->GetMacroList();
  for (const CSvNetComponent* component : kit->NetComponents()) {
    const uint32_t flags = component->GetFlags();
    SvPumpMessages();
    const bool installed =
        macros != nullptr && macros->IsMacroTrue(component->GetCondition().c_str());
    int calls;
    if (installed)
      calls = (flags & kNetSingleAttempt) == 0 && (flags & kNetSecondAttempt) != 0 ? 2 : 1;
    else
      calls = (flags & (kNetKeepIfAbsent | kNetSingleAttempt)) == 0 ? 1 : 0;
    uint32_t componentResult = kSvNetOk;
    for (int i = 0; i < calls; ++i) componentResult = SvRemoveNetComponent(kit, component, page);
    // Any component left registered fails the phase, not only the last one:
    // deleting the files of a component the control panel still lists would
    // leave a broken network configuration.
    if (componentResult != kSvNetOk) result = componentResult;
  }

  svp::Net().ReviewBindings();
  SvLogMessage(kIdsNetPhaseEnd);
  return result;
}
