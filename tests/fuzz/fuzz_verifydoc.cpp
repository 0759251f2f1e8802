// The reader of verify documents, which a rollup runs over whatever a share
// holds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plan/rollup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SvVerifyResult result;
  std::string why;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // A document it takes has a verdict of its own; one it refuses says why.
  if (SvReadVerifyDocument(bytes, &result, &why)) {
    if (result.ExitCode() < 0 || result.ExitCode() > 3) __builtin_trap();
  } else if (why.empty()) {
    __builtin_trap();
  }
  return 0;
}
