// The file phase of the removal sequence: the preparation of the kit's
// locations and the walk over its selected files.
#pragma once

#include <cstdint>

class CSvKit;

// Expands and creates the kit's directories and estimates the bytes the COPY
// records need: 0, 3 (a directory could not be created), 6 (no macro table)
// or 18 (not enough space).
uint32_t SvPrepareLocations(CSvKit* kit);

// Deletes or copies every selected file with progress, logging and the
// Abort/Retry/Ignore question: 0, 1 (cancelled) or 14 (aborted, or the page
// could not be shown).
uint32_t SvRunFilePhase(CSvKit* kit);
