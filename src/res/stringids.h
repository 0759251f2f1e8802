// The names of the string-table identifiers, each declared once from its
// entry in strings.inc.
#pragma once

#include <cstdint>

enum : uint32_t {
#define SVSTR(id, name, text) name = id,
#include "res/strings.inc"
#undef SVSTR
};
