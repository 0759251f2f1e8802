#include "res/stringtable.h"

namespace {
const SvStringEntry kTable[] = {
#define SVSTR(id, name, text) {id, text},
#include "res/strings.inc"
#undef SVSTR
};
}  // namespace

const SvStringEntry* SvStringTable(size_t* count) {
  *count = sizeof kTable / sizeof kTable[0];
  return kTable;
}
