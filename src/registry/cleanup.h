// Clean-up steps outside the product's own files: the adapters' protocol
// addresses, the product directory in Path and KSTA, the product's lines in
// AUTOEXEC.NT, and the product's directories.
#pragma once

#include <cstdint>

class CSvKit;

// Deletes every adapter "NetworkAddress" value that the protocol assigned.
void SvResetAdapterAddresses();
// 0, or 14 when the environment key or a list could not be read or written.
uint32_t SvCleanEnvironment(CSvKit* kit);
// Always 1.
uint32_t SvCleanAutoexec();
// Always 1.
uint32_t SvRemoveProductDirectories();
