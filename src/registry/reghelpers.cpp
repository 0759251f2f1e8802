#include "registry/reghelpers.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr svp::RegKey kMachine = svp::kHKeyLocalMachine;

// Text of a value buffer: up to its first NUL, never beyond the bytes read.
std::string TextOf(const char* data, size_t size) {
  const void* nul = std::memchr(data, 0, size);
  return std::string(data, nul != nullptr ? static_cast<const char*>(nul) - data : size);
}

std::unique_ptr<char[]> Allocate(size_t size) {
  std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
  if (block) std::memset(block.get(), 0, size);
  return block;
}

}  // namespace

bool SvRegKeyExists(const std::string& path) {
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  if (reg.OpenKey(kMachine, path, svp::kKeyQueryValue, &key) != 0) return false;
  reg.CloseKey(key);
  return true;
}

bool SvRegQueryValue(const std::string& path, const std::string& name, uint8_t* buffer,
                     uint32_t* size) {
  if (size == nullptr) return false;
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  if (reg.OpenKey(kMachine, path, svp::kKeyRead, &key) != 0) return false;
  uint32_t type = 0;
  const uint32_t status = reg.QueryValue(key, name, &type, buffer, size);
  reg.CloseKey(key);
  return status == 0;
}

uint32_t SvRegGetString(const std::string& path, const std::string& name, std::string& out) {
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  uint32_t status = reg.OpenKey(kMachine, path, svp::kMaximumAllowed, &key);
  if (status != 0) return status;
  uint32_t type = 0;
  uint32_t size = 0;
  status = reg.QueryValue(key, name, &type, nullptr, &size);
  if (status != 0) {
    reg.CloseKey(key);
    return status;
  }
  const size_t capacity = static_cast<size_t>(size) + 1;
  std::unique_ptr<char[]> data = Allocate(capacity);
  if (!data) {
    reg.CloseKey(key);
    return kSvRegStringNoMemory;
  }
  status = reg.QueryValue(key, name, &type, reinterpret_cast<uint8_t*>(data.get()), &size);
  reg.CloseKey(key);
  if (status != 0) return status;
  out = TextOf(data.get(), size < capacity ? size : capacity);
  return size;
}

uint32_t SvRegDeleteTree(svp::RegKey root, const char* path) {
  // Never the root itself.
  if (path == nullptr || *path == '\0') return svp::kErrBadKey;
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  uint32_t status = reg.OpenKey(root, path, svp::kDelete | svp::kKeyEnumerateSubKeys, &key);
  if (status != 0) return status;
  for (;;) {
    // Each deleted subkey disappears, so index 0 names the next one.
    char name[256] = {};
    uint32_t nameSize = sizeof(name);
    status = reg.EnumKey(key, 0, name, &nameSize);
    if (status == svp::kErrNoMoreItems) {
      status = reg.DeleteKey(root, path);
      break;
    }
    if (status != 0) break;
    name[sizeof(name) - 1] = '\0';
    status = SvRegDeleteTree(key, name);
    if (status != 0) break;
  }
  reg.CloseKey(key);
  return status;
}

int32_t SvRegEditList(const std::string& path, const std::string& name, const std::string& item,
                      int mode) {
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  uint32_t status = reg.OpenKey(kMachine, path, svp::kMaximumAllowed, &key);
  if (status != 0) return static_cast<int32_t>(status);

  uint32_t type = svp::kRegSz;
  uint32_t size = 0;
  bool exists = false;
  if (mode != kSvListSet) {
    status = reg.QueryValue(key, name, &type, nullptr, &size);
    if (status == svp::kErrFileNotFound) {
      type = svp::kRegSz;
      size = 0;
    } else if (status != 0) {
      reg.CloseKey(key);
      return static_cast<int32_t>(status);
    } else {
      exists = true;
    }
  }
  if (mode == kSvListRemove && (!exists || size == 0)) {
    reg.CloseKey(key);
    return kSvRegOk;
  }

  std::string current;
  if (exists) {
    const size_t capacity = static_cast<size_t>(size) + 10;
    std::unique_ptr<char[]> data = Allocate(capacity);
    if (!data) {
      reg.CloseKey(key);
      return kSvRegNoMemory;
    }
    uint32_t read = static_cast<uint32_t>(capacity);
    status = reg.QueryValue(key, name, &type, reinterpret_cast<uint8_t*>(data.get()), &read);
    if (status != 0) {
      reg.CloseKey(key);
      return static_cast<int32_t>(status);
    }
    current = TextOf(data.get(), read < capacity ? read : capacity);
  }

  bool write = false;
  std::string text;
  if (mode == kSvListSet) {
    text = item;
    type = svp::kRegSz;
    write = true;
  } else if (!exists && (mode == kSvListAppend || mode == kSvListPrepend)) {
    text = item;
    write = true;
  } else if (exists && mode >= kSvListAppend && mode <= kSvListRemove) {
    std::string list = current;
    if (list.empty() || list.back() != ';') list += ';';
    const std::string search = item + ";";
    const size_t found = list.find(search);
    if (mode == kSvListAppend && found == std::string::npos) {
      text = list + item;
      write = true;
    } else if (mode == kSvListPrepend && found == std::string::npos) {
      // Prepending keeps the value as it was read: Y before X gives "Y;X".
      text = item + ";" + current;
      write = true;
    } else if (mode == kSvListRemove && found != std::string::npos) {
      const size_t end = list.find(';', found);
      text = list.substr(0, found) + list.substr(end + 1);
      write = true;
    }
  }

  status = 0;
  if (write) {
    status = reg.SetValue(key, name, type, reinterpret_cast<const uint8_t*>(text.c_str()),
                          static_cast<uint32_t>(text.size() + 1));
  }
  reg.CloseKey(key);
  return static_cast<int32_t>(status);
}

int32_t SvRegMoveValues(const std::string& destination, const std::string& source,
                        const char* cutOff) {
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  uint32_t status = reg.OpenKey(kMachine, source, svp::kKeyAllAccess, &key);
  if (status != 0) return static_cast<int32_t>(status);
  uint32_t subKeys = 0, maxSubKeyLen = 0, values = 0, maxNameLen = 0, maxDataLen = 0;
  status = reg.QueryInfoKey(key, &subKeys, &maxSubKeyLen, &values, &maxNameLen, &maxDataLen);
  reg.CloseKey(key);
  if (status != 0) return static_cast<int32_t>(status);

  const size_t nameCapacity = static_cast<size_t>(maxNameLen) + 10;
  const size_t dataCapacity = static_cast<size_t>(maxDataLen) + 10;
  std::unique_ptr<char[]> name = Allocate(nameCapacity);
  std::unique_ptr<char[]> data = Allocate(dataCapacity);
  if (!name || !data) return kSvRegNoMemory;

  for (uint32_t index = 0;; ++index) {
    status = reg.OpenKey(kMachine, source, svp::kKeyAllAccess, &key);
    if (status != 0) break;
    uint32_t nameSize = static_cast<uint32_t>(nameCapacity);
    uint32_t dataSize = static_cast<uint32_t>(dataCapacity);
    uint32_t type = 0;
    status = reg.EnumValue(key, index, name.get(), &nameSize, &type,
                           reinterpret_cast<uint8_t*>(data.get()), &dataSize);
    reg.CloseKey(key);
    if (status == svp::kErrNoMoreItems) {
      status = 0;
      break;
    }
    if (status != 0) break;
    const std::string valueName(name.get(), nameSize < nameCapacity ? nameSize : nameCapacity);

    svp::RegKey target = 0;
    if (reg.OpenKey(kMachine, destination, svp::kKeyAllAccess, &target) != 0) {
      bool created = false;
      status = reg.CreateKey(kMachine, destination, svp::kRegOptionNonVolatile,
                             svp::kKeyAllAccess, &target, &created);
      if (status != 0) break;
    }
    status = reg.SetValue(target, valueName, type, reinterpret_cast<const uint8_t*>(data.get()),
                          dataSize);
    reg.CloseKey(target);
    if (status != 0) break;
  }

  // An empty cut-off would match every parent up to the hive's top: treated
  // as absent, so nothing above the source is ever at risk.
  if (status == 0 && cutOff != nullptr && *cutOff != '\0') {
    std::string path = source;
    while (path.find(cutOff) != std::string::npos) {
      // A key that still has subkeys stays, and so do its parents; that is
      // expected and not a failure of the move.
      if (reg.DeleteKey(kMachine, path) != 0) break;
      const size_t parent = path.rfind('\\');
      if (parent == std::string::npos) break;
      path.resize(parent);
    }
  }
  return static_cast<int32_t>(status);
}
