#include "netcfg/oldversion.h"

#include "log/svlog.h"
#include "platform/platform.h"
#include "registry/reghelpers.h"
#include "res/stringids.h"

namespace {

const char kSolvaneRules[] = "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\CurrentVersion\\NetRules";
const char kZozuzivozRules[] =
    "SOFTWARE\\OrrisLogicCorporation\\ZOZuzivoz\\CurrentVersion\\NetRules";

// The INF name buffer of the library call (260 bytes with the NUL).
constexpr size_t kInfNameLimit = 259;

}  // namespace

bool SvIsNetRegistrationPresent() {
  return SvRegKeyExists(kSolvaneRules) || SvRegKeyExists(kZozuzivozRules);
}

void SvRemoveNetRegistrations() {
  svp::Ui().BeginWaitCursor();
  SvRemoveNetRegistration(kSolvaneRules, "SOLVANE");
  SvRemoveNetRegistration(kZozuzivozRules, "ZOZUZIVOZ");
  svp::Ui().EndWaitCursor();
}

void SvRemoveNetRegistration(const std::string& key, const std::string& option) {
  std::string libraryInf;
  if (svp::Net().FindSoftwareComponent(option, &libraryInf) != 0) return;
  if (libraryInf.size() > kInfNameLimit) libraryInf.resize(kInfNameLimit);
  // The output stays empty unless the value was read.
  std::string recordedInf;
  SvRegGetString(key, "InfName", recordedInf);
  if (recordedInf.empty()) return;
  // Registered by another INF script: not ours to remove.
  if (recordedInf != libraryInf) return;
  uint32_t infResult = 0;
  uint32_t code = svp::Net().ComponentRemove(option, &infResult);
  if (code != 0) SvLogMessageBox(kIdsNetRemoveFailed, kSvBoxIconExclamation, option, code, "");
}
