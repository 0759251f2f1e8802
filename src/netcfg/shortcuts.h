// The shortcut phase: removal of the product's shortcuts from the start menu
// of all users and the desktop, and of its program-group folder.
#pragma once

#include <cstdint>

class CSvKit;
class CSvFinishStatusPage;

// Always 0.
uint32_t SvRunShortcutPhase(CSvKit* kit, CSvFinishStatusPage* page);
