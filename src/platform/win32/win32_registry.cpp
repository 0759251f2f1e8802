#include "platform/win32/win32_internal.h"

namespace svp {
namespace win32 {

namespace {

// The interface names the predefined roots by their values as handles.
HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

}  // namespace

uint32_t Registry::OpenKey(RegKey root, const std::string& subKey, uint32_t access, RegKey* out) {
  HKEY key = nullptr;
  LONG status = ::RegOpenKeyExA(ToHkey(root), subKey.c_str(), 0, access, &key);
  if (status == ERROR_SUCCESS && out != nullptr) *out = FromHkey(key);
  return static_cast<uint32_t>(status);
}

uint32_t Registry::CreateKey(RegKey root, const std::string& subKey, uint32_t options,
                             uint32_t access, RegKey* out, bool* created) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG status = ::RegCreateKeyExA(ToHkey(root), subKey.c_str(), 0, nullptr, options, access,
                                  nullptr, &key, &disposition);
  if (status == ERROR_SUCCESS) {
    if (out != nullptr) *out = FromHkey(key);
    if (created != nullptr) *created = disposition == REG_CREATED_NEW_KEY;
  }
  return static_cast<uint32_t>(status);
}

uint32_t Registry::CloseKey(RegKey key) { return static_cast<uint32_t>(::RegCloseKey(ToHkey(key))); }

uint32_t Registry::QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                              uint32_t* size) {
  DWORD t = 0;
  DWORD s = size ? *size : 0;
  LONG status = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &t, data,
                                   size ? &s : nullptr);
  if (type != nullptr) *type = t;
  if (size != nullptr) *size = s;
  return static_cast<uint32_t>(status);
}

uint32_t Registry::SetValue(RegKey key, const std::string& name, uint32_t type,
                            const uint8_t* data, uint32_t size) {
  return static_cast<uint32_t>(::RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size));
}

uint32_t Registry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameSize) {
  DWORD n = nameSize ? *nameSize : 0;
  LONG status = ::RegEnumKeyExA(ToHkey(key), index, name, &n, nullptr, nullptr, nullptr, nullptr);
  if (nameSize != nullptr) *nameSize = n;
  return static_cast<uint32_t>(status);
}

uint32_t Registry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize,
                             uint32_t* type, uint8_t* data, uint32_t* dataSize) {
  DWORD n = nameSize ? *nameSize : 0;
  DWORD t = 0;
  DWORD s = dataSize ? *dataSize : 0;
  LONG status = ::RegEnumValueA(ToHkey(key), index, name, &n, nullptr, &t, data,
                                dataSize ? &s : nullptr);
  if (nameSize != nullptr) *nameSize = n;
  if (type != nullptr) *type = t;
  if (dataSize != nullptr) *dataSize = s;
  return static_cast<uint32_t>(status);
}

uint32_t Registry::QueryInfoKey(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen,
                                uint32_t* values, uint32_t* maxValueNameLen,
                                uint32_t* maxValueLen) {
  DWORD sk = 0, skLen = 0, v = 0, vLen = 0, vData = 0;
  LONG status = ::RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &sk, &skLen, nullptr,
                                   &v, &vLen, &vData, nullptr, nullptr);
  if (status == ERROR_SUCCESS) {
    if (subKeys) *subKeys = sk;
    if (maxSubKeyLen) *maxSubKeyLen = skLen;
    if (values) *values = v;
    if (maxValueNameLen) *maxValueNameLen = vLen;
    if (maxValueLen) *maxValueLen = vData;
  }
  return static_cast<uint32_t>(status);
}

uint32_t Registry::DeleteKey(RegKey root, const std::string& subKey) {
  return static_cast<uint32_t>(::RegDeleteKeyA(ToHkey(root), subKey.c_str()));
}

uint32_t Registry::DeleteValue(RegKey key, const std::string& name) {
  return static_cast<uint32_t>(::RegDeleteValueA(ToHkey(key), name.c_str()));
}

}  // namespace win32
}  // namespace svp
