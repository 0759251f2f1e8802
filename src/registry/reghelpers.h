// Registry helpers over HKEY_LOCAL_MACHINE (the tree deletion takes a root).
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

bool SvRegKeyExists(const std::string& path);
// size: buffer size in, bytes stored out.
bool SvRegQueryValue(const std::string& path, const std::string& name, uint8_t* buffer,
                     uint32_t* size);
// Size read (with the NUL), a registry status on failure, 0 when memory runs out.
uint32_t SvRegGetString(const std::string& path, const std::string& name, std::string& out);
// Deletes root\path and everything below it; never the root itself (1010).
uint32_t SvRegDeleteTree(svp::RegKey root, const char* path);
// mode 0 set, 1 append, 2 prepend, 3 remove an entry of a ";" list value.
int32_t SvRegEditList(const std::string& path, const std::string& name, const std::string& item,
                      int mode);
// Copies every value of source to destination, then deletes source and its
// parents while their path still contains cutOff.
int32_t SvRegMoveValues(const std::string& destination, const std::string& source,
                        const char* cutOff);
