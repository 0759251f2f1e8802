// The shortcut phase: removal of the product's shortcuts from the start menu
// of all users and the desktop, and of its program-group folder.
#pragma once

#include <cstdint>

class CSvKit;
class CSvFinishStatusPage;

enum : uint32_t { kSvShortcutPhaseOk = 0 };

// Always Ok.
uint32_t SvRunShortcutPhase(CSvKit* kit, CSvFinishStatusPage* page);
