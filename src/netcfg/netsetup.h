// Binding of the system's network setup library "NETCFG.DLL".
#pragma once

#include <cstdint>

// 0 bound; 2 the library cannot be loaded; 4 an entry point is missing.
uint32_t SvLoadNetSetupLibrary();
uint32_t SvFreeNetSetupLibrary();
