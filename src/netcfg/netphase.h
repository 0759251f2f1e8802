// The network control panel phase: removal of the kit's network components
// through the network setup library.
#pragma once

#include <cstdint>
#include <string>

class CSvKit;
class CSvNetComponent;
class CSvFinishStatusPage;

// Results of the network phase and of one component's removal.
enum : uint32_t {
  kSvNetOk = 0,             // removed, not installed, or the phase skipped
  kSvNetRemoveFailed = 13,  // the library refused a removal (shown as 10025)
};

// Ok, or RemoveFailed when a component's last removal attempt failed.
uint32_t SvRunNetworkPhase(CSvKit* kit, CSvFinishStatusPage* page);
// Ok or RemoveFailed.
uint32_t SvRemoveNetComponent(CSvKit* kit, const CSvNetComponent* component,
                              CSvFinishStatusPage* page);
// The string-table text of a library result code, "Unknown" without one.
std::string SvGetNetSetupErrorText(uint32_t code);
