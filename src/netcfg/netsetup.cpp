#include "netcfg/netsetup.h"

#include "platform/platform.h"

uint32_t SvLoadNetSetupLibrary() { return svp::Net().Load(); }

uint32_t SvFreeNetSetupLibrary() {
  svp::Net().Free();
  return kSvNetSetupOk;
}
