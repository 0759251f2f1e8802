// Registry helpers over HKEY_LOCAL_MACHINE (the tree deletion takes a root).
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// The helpers that return a status give the registry's own (0 success, or
// the platform's error number), or these.
enum : int32_t {
  kSvRegOk = 0,
  kSvRegNoMemory = -1,  // SvRegEditList and SvRegMoveValues
};

// How SvRegEditList changes a ";" list value.
enum SvListEdit : int {
  kSvListSet = 0,      // the value becomes the item
  kSvListAppend = 1,   // the item goes last, unless listed
  kSvListPrepend = 2,  // the item goes first, unless listed
  kSvListRemove = 3,   // the item's entry goes
};

bool SvRegKeyExists(const std::string& path);
// size: buffer size in, bytes stored out.
bool SvRegQueryValue(const std::string& path, const std::string& name, uint8_t* buffer,
                     uint32_t* size);
// Size read (with the NUL), a registry status on failure, or this (no size)
// when memory runs out.
constexpr uint32_t kSvRegStringNoMemory = 0;
uint32_t SvRegGetString(const std::string& path, const std::string& name, std::string& out);
// Deletes root\path and everything below it; never the root itself (1010).
uint32_t SvRegDeleteTree(svp::RegKey root, const char* path);
// Edits a ";" list value by one of the SvListEdit modes.
int32_t SvRegEditList(const std::string& path, const std::string& name, const std::string& item,
                      int mode);
// Copies every value of source to destination, then deletes source and its
// parents while their path still contains cutOff.
int32_t SvRegMoveValues(const std::string& destination, const std::string& source,
                        const char* cutOff);
