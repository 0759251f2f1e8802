// The file phase of the removal sequence: the preparation of the kit's
// locations and the walk over its selected files.
#pragma once

#include <cstdint>

class CSvKit;

// Results of the preparation and of the file phase.
enum : uint32_t {
  kSvFilePhaseOk = 0,
  kSvFilePhaseCancelled = 1,
  kSvFilePhaseNoDirectory = 3,  // a directory could not be created
  kSvFilePhaseNoMacros = 6,     // no macro table
  kSvFilePhaseAborted = 14,     // aborted, or the page could not be shown
  kSvFilePhaseNoSpace = 18,     // not enough space
};

// Expands and creates the kit's directories and estimates the bytes the COPY
// records need: Ok, NoDirectory, NoMacros or NoSpace.
uint32_t SvPrepareLocations(CSvKit* kit);

// Deletes or copies every selected file with progress, logging and the
// Abort/Retry/Ignore question: Ok, Cancelled or Aborted.
uint32_t SvRunFilePhase(CSvKit* kit);
