// The rollup: the verify documents of many workstations, one file each in a
// folder (KITPLAN.EXE /VERIFY /JSON written to a share), summed up per
// verdict and per trace.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "plan/verify.h"

// Reads a document KITPLAN.EXE /VERIFY /JSON wrote.  Anything else (another
// JSON document, a damaged or cut file, bytes of any kind) is refused with
// the reason in `why`.
bool SvReadVerifyDocument(const std::string& bytes, SvVerifyResult* result, std::string* why);

// Files larger than this are no verify document.
constexpr size_t kSvMaxVerifyDocument = 16u << 20;
