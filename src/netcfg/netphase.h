// The network control panel phase: removal of the kit's network components
// through the network setup library.
#pragma once

#include <cstdint>
#include <string>

class CSvKit;
class CSvNetComponent;
class CSvFinishStatusPage;

// 0, or 13 when the last removal attempted failed.
uint32_t SvRunNetworkPhase(CSvKit* kit, CSvFinishStatusPage* page);
// 0 (removed, or not installed) or 13 (the library refused; shown as 10025).
uint32_t SvRemoveNetComponent(CSvKit* kit, const CSvNetComponent* component,
                              CSvFinishStatusPage* page);
// The string-table text of a library result code, "Unknown" without one.
std::string SvGetNetSetupErrorText(uint32_t code);
