// Clean-up steps outside the product's own files: the adapters' protocol
// addresses, the product directory in Path and KSTA, the product's lines in
// AUTOEXEC.NT, and the product's directories.
#pragma once

#include <cstdint>

class CSvKit;

// Deletes every adapter "NetworkAddress" value that the protocol assigned.
void SvResetAdapterAddresses();
// Results of the environment clean-up.
enum : uint32_t {
  kSvEnvironmentCleaned = 0,  // also when there is no product directory to remove
  kSvEnvironmentFailed = 14,  // the environment key or a list could not be read or written
};

// Results of the AUTOEXEC.NT clean-up and the directory removal: unlike the
// phases, zero is the one that stops the removal sequence.
enum : uint32_t {
  kSvCleanupStop = 0,
  kSvCleanupDone = 1,
};

uint32_t SvCleanEnvironment(CSvKit* kit);
// The copy of AUTOEXEC.NT as it was, kept beside it in the system directory.
extern const char kSvAutoexecBackup[];
// Always Done.
uint32_t SvCleanAutoexec();
// Always Done.
uint32_t SvRemoveProductDirectories();
