// The program's string table compiled into the code (the in-memory platform
// answers LoadString from it; the Windows program loads the same texts from
// its resources).
#pragma once

#include <cstddef>
#include <cstdint>

struct SvStringEntry {
  uint32_t id;
  const char* text;
};

const SvStringEntry* SvStringTable(size_t* count);
