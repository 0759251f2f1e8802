// Binding of the system's network setup library "NETCFG.DLL".
#pragma once

#include <cstdint>

// Results of the binding.
enum : uint32_t {
  kSvNetSetupOk = 0,
  kSvNetSetupNotLoadable = 2,
  kSvNetSetupEntryMissing = 4,  // an entry point is missing
};

// Ok (bound), NotLoadable or EntryMissing.
uint32_t SvLoadNetSetupLibrary();
// Always Ok.
uint32_t SvFreeNetSetupLibrary();
