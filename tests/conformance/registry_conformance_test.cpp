// Registry keys and values through IRegistry, as both platforms must behave.
#include "conformance/conformance_env.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

using namespace svp;

class RegistryConformance : public ConformanceTest {
 protected:
  void TearDown() override {
    for (RegKey k : keys_) Reg().CloseKey(k);
    ConformanceTest::TearDown();
  }

  RegKey Create(const std::string& path, uint32_t access = kKeyAllAccess, bool* created = nullptr,
                uint32_t options = kRegOptionNonVolatile) {
    RegKey key = 0;
    uint32_t status = Reg().CreateKey(kHKeyCurrentUser, path, options, access, &key, created);
    EXPECT_EQ(0u, status) << path;
    if (status == 0) keys_.push_back(key);
    return key;
  }
  uint32_t OpenStatus(const std::string& path, uint32_t access, RegKey* key) {
    uint32_t status = Reg().OpenKey(kHKeyCurrentUser, path, access, key);
    if (status == 0) keys_.push_back(*key);
    return status;
  }
  uint32_t SetString(RegKey key, const std::string& name, const std::string& text,
                     uint32_t type = kRegSz) {
    return Reg().SetValue(key, name, type, reinterpret_cast<const uint8_t*>(text.c_str()),
                          static_cast<uint32_t>(text.size() + 1));
  }
  void Forget(RegKey key) { keys_.erase(std::remove(keys_.begin(), keys_.end(), key), keys_.end()); }

  std::vector<RegKey> keys_;
};

TEST_F(RegistryConformance, CreateOpenAndAccessRights) {
  IRegistry& reg = Reg();
  const std::string path = ScratchKey() + "\\Product\\Setup";
  RegKey missing = 0;
  EXPECT_EQ(kErrFileNotFound, reg.OpenKey(kHKeyCurrentUser, path, kKeyRead, &missing));

  // Creating makes every missing key of the path.
  bool created = false;
  RegKey key = Create(path, kKeyAllAccess, &created);
  EXPECT_TRUE(created);
  Create(path, kKeyAllAccess, &created);
  EXPECT_FALSE(created);

  // Names are found whatever their case.
  RegKey opened = 0;
  EXPECT_EQ(0u, OpenStatus(ScratchKey() + "\\PRODUCT\\setup", kKeyRead, &opened));
  EXPECT_EQ(0u, SetString(key, "Name", "value"));

  // A key opened for reading cannot be written, and a key opened for
  // writing cannot be read.
  RegKey readOnly = 0;
  ASSERT_EQ(0u, OpenStatus(path, kKeyQueryValue, &readOnly));
  EXPECT_EQ(kErrAccessDenied, SetString(readOnly, "Other", "x"));
  EXPECT_EQ(kErrAccessDenied, reg.DeleteValue(readOnly, "Name"));
  RegKey writeOnly = 0;
  ASSERT_EQ(0u, OpenStatus(path, kKeySetValue, &writeOnly));
  uint32_t size = 0;
  EXPECT_EQ(kErrAccessDenied, reg.QueryValue(writeOnly, "Name", nullptr, nullptr, &size));
  char name[64];
  uint32_t nameSize = sizeof name;
  EXPECT_EQ(kErrAccessDenied, reg.EnumKey(writeOnly, 0, name, &nameSize));

  // A leading backslash is a bad path.
  RegKey bad = 0;
  EXPECT_EQ(kErrBadPathName, reg.OpenKey(kHKeyCurrentUser, "\\" + path, kKeyRead, &bad));

  // A volatile key takes only volatile sub-keys.
  RegKey volatileKey = Create(ScratchKey() + "\\Volatile", kKeyAllAccess, nullptr,
                              kRegOptionVolatile);
  RegKey child = 0;
  EXPECT_EQ(1021u, reg.CreateKey(volatileKey, "Child", kRegOptionNonVolatile, kKeyAllAccess,
                                 &child, nullptr));
  EXPECT_EQ(0u, reg.CreateKey(volatileKey, "Child", kRegOptionVolatile, kKeyAllAccess, &child,
                              nullptr));
  reg.CloseKey(child);
}

TEST_F(RegistryConformance, QueryValueBufferSemantics) {
  IRegistry& reg = Reg();
  RegKey key = Create(ScratchKey());
  ASSERT_EQ(0u, SetString(key, "Text", "hello"));

  // No buffer: the size, NUL included.
  uint32_t type = 0, size = 0;
  ASSERT_EQ(0u, reg.QueryValue(key, "Text", &type, nullptr, &size));
  EXPECT_EQ(kRegSz, type);
  EXPECT_EQ(6u, size);

  // Too small a buffer: 234 and the size needed.
  uint8_t buffer[64];
  size = 3;
  EXPECT_EQ(kErrMoreData, reg.QueryValue(key, "tEXT", &type, buffer, &size));
  EXPECT_EQ(6u, size);

  size = sizeof buffer;
  ASSERT_EQ(0u, reg.QueryValue(key, "Text", &type, buffer, &size));
  EXPECT_EQ(6u, size);
  EXPECT_EQ(0, std::memcmp(buffer, "hello", 6));

  // Exactly the size needed is enough.
  size = 6;
  EXPECT_EQ(0u, reg.QueryValue(key, "Text", nullptr, buffer, &size));

  // Types are kept as written.
  ASSERT_EQ(0u, SetString(key, "Expand", "%SystemRoot%\\x", kRegExpandSz));
  size = sizeof buffer;
  ASSERT_EQ(0u, reg.QueryValue(key, "Expand", &type, buffer, &size));
  EXPECT_EQ(kRegExpandSz, type);
  EXPECT_EQ("%SystemRoot%\\x", std::string(reinterpret_cast<char*>(buffer)));

  const uint8_t dword[4] = {0x78, 0x56, 0x34, 0x12};
  ASSERT_EQ(0u, reg.SetValue(key, "Count", kRegDword, dword, 4));
  size = sizeof buffer;
  ASSERT_EQ(0u, reg.QueryValue(key, "Count", &type, buffer, &size));
  EXPECT_EQ(kRegDword, type);
  EXPECT_EQ(4u, size);
  EXPECT_EQ(0, std::memcmp(buffer, dword, 4));

  const uint8_t binary[5] = {1, 0, 2, 0, 3};
  ASSERT_EQ(0u, reg.SetValue(key, "Blob", kRegBinary, binary, 5));
  size = sizeof buffer;
  ASSERT_EQ(0u, reg.QueryValue(key, "Blob", &type, buffer, &size));
  EXPECT_EQ(5u, size);
  EXPECT_EQ(0, std::memcmp(buffer, binary, 5));

  // Rewriting replaces type and data.
  ASSERT_EQ(0u, SetString(key, "Count", "now text"));
  size = sizeof buffer;
  ASSERT_EQ(0u, reg.QueryValue(key, "Count", &type, buffer, &size));
  EXPECT_EQ(kRegSz, type);
  EXPECT_EQ(9u, size);

  // Missing values, the default value included.
  size = sizeof buffer;
  EXPECT_EQ(kErrFileNotFound, reg.QueryValue(key, "Absent", &type, buffer, &size));
  EXPECT_EQ(kErrFileNotFound, reg.QueryValue(key, "", &type, nullptr, &size));
  ASSERT_EQ(0u, SetString(key, "", "default"));
  size = sizeof buffer;
  EXPECT_EQ(0u, reg.QueryValue(key, "", &type, buffer, &size));
  EXPECT_EQ(8u, size);
}

TEST_F(RegistryConformance, EnumerationOfKeysAndValues) {
  IRegistry& reg = Reg();
  RegKey key = Create(ScratchKey());
  for (const char* sub : {"Beta", "alpha", "Gamma-Long-Name"}) {
    RegKey k = 0;
    ASSERT_EQ(0u, reg.CreateKey(key, sub, kRegOptionNonVolatile, kKeyAllAccess, &k, nullptr));
    reg.CloseKey(k);
  }
  std::set<std::string> names;
  uint32_t index = 0;
  for (;; ++index) {
    char name[256];
    uint32_t size = sizeof name;
    uint32_t status = reg.EnumKey(key, index, name, &size);
    if (status == kErrNoMoreItems) break;
    ASSERT_EQ(0u, status);
    EXPECT_EQ(std::strlen(name), size);
    names.insert(name);
  }
  EXPECT_EQ(3u, index);
  EXPECT_EQ((std::set<std::string>{"Beta", "alpha", "Gamma-Long-Name"}), names);
  char tiny[4];
  uint32_t tinySize = sizeof tiny;
  bool sawMoreData = false;
  for (uint32_t i = 0; i < 3; ++i) {
    tinySize = sizeof tiny;
    if (reg.EnumKey(key, i, tiny, &tinySize) == kErrMoreData) sawMoreData = true;
  }
  EXPECT_TRUE(sawMoreData);

  ASSERT_EQ(0u, SetString(key, "First", "1"));
  ASSERT_EQ(0u, SetString(key, "Second", "22", kRegExpandSz));
  std::set<std::string> values;
  for (index = 0;; ++index) {
    char name[256];
    uint32_t nameSize = sizeof name;
    uint8_t data[64];
    uint32_t dataSize = sizeof data;
    uint32_t type = 0;
    uint32_t status = reg.EnumValue(key, index, name, &nameSize, &type, data, &dataSize);
    if (status == kErrNoMoreItems) break;
    ASSERT_EQ(0u, status);
    EXPECT_EQ(std::strlen(name), nameSize);
    values.insert(std::string(name) + "=" + std::to_string(type) + ":" +
                  std::string(reinterpret_cast<char*>(data), dataSize));
  }
  EXPECT_EQ(2u, index);
  EXPECT_EQ((std::set<std::string>{"First=1:" + std::string("1\0", 2),
                                   "Second=2:" + std::string("22\0", 3)}),
            values);

  // Too small a data buffer: 234 with the size needed.
  char name[256];
  uint32_t nameSize = sizeof name;
  uint8_t data[1];
  uint32_t dataSize = 1;
  EXPECT_EQ(kErrMoreData, reg.EnumValue(key, 0, name, &nameSize, nullptr, data, &dataSize));
  EXPECT_GE(dataSize, 2u);
}

TEST_F(RegistryConformance, DeletingKeysAndValues) {
  IRegistry& reg = Reg();
  const std::string parent = ScratchKey() + "\\Parent";
  RegKey key = Create(parent + "\\Child");
  ASSERT_EQ(0u, SetString(key, "V", "v"));

  // As on Windows NT: a key with sub-keys stays.
  EXPECT_EQ(kErrAccessDenied, reg.DeleteKey(kHKeyCurrentUser, parent));
  RegKey check = 0;
  EXPECT_EQ(0u, OpenStatus(parent, kKeyRead, &check));

  EXPECT_EQ(kErrFileNotFound, reg.DeleteKey(kHKeyCurrentUser, parent + "\\Nobody"));
  EXPECT_EQ(0u, reg.DeleteKey(kHKeyCurrentUser, parent + "\\Child"));
  // The handle of the deleted key is dead but still closes once.
  uint32_t size = 0;
  EXPECT_EQ(kErrKeyDeleted, reg.QueryValue(key, "V", nullptr, nullptr, &size));
  EXPECT_EQ(kErrKeyDeleted, SetString(key, "W", "w"));
  Forget(key);
  EXPECT_EQ(0u, reg.CloseKey(key));
  EXPECT_EQ(kErrInvalidHandle, reg.CloseKey(key));

  EXPECT_EQ(0u, reg.DeleteKey(kHKeyCurrentUser, parent));
  RegKey gone = 0;
  EXPECT_EQ(kErrFileNotFound, reg.OpenKey(kHKeyCurrentUser, parent, kKeyRead, &gone));

  RegKey values = Create(ScratchKey());
  ASSERT_EQ(0u, SetString(values, "Keep", "k"));
  ASSERT_EQ(0u, SetString(values, "Drop", "d"));
  EXPECT_EQ(kErrFileNotFound, reg.DeleteValue(values, "Missing"));
  EXPECT_EQ(0u, reg.DeleteValue(values, "DROP"));
  EXPECT_EQ(kErrFileNotFound, reg.DeleteValue(values, "Drop"));
  EXPECT_EQ(0u, reg.QueryValue(values, "Keep", nullptr, nullptr, &size));
}

TEST_F(RegistryConformance, QueryInfoKeyCountsAndLengths) {
  IRegistry& reg = Reg();
  RegKey key = Create(ScratchKey());
  uint32_t subKeys = 99, maxSubKey = 99, values = 99, maxName = 99, maxData = 99;
  ASSERT_EQ(0u, reg.QueryInfoKey(key, &subKeys, &maxSubKey, &values, &maxName, &maxData));
  EXPECT_EQ(0u, subKeys);
  EXPECT_EQ(0u, values);
  EXPECT_EQ(0u, maxSubKey);
  EXPECT_EQ(0u, maxName);

  RegKey k = 0;
  ASSERT_EQ(0u, reg.CreateKey(key, "Short", 0, kKeyAllAccess, &k, nullptr));
  reg.CloseKey(k);
  ASSERT_EQ(0u, reg.CreateKey(key, "ElevenChars", 0, kKeyAllAccess, &k, nullptr));
  reg.CloseKey(k);
  ASSERT_EQ(0u, SetString(key, "A", "twelve bytes"));  // 13 with the NUL
  ASSERT_EQ(0u, SetString(key, "LongerName", "x"));
  ASSERT_EQ(0u, reg.QueryInfoKey(key, &subKeys, &maxSubKey, &values, &maxName, &maxData));
  EXPECT_EQ(2u, subKeys);
  EXPECT_EQ(11u, maxSubKey);
  EXPECT_EQ(2u, values);
  EXPECT_EQ(10u, maxName);
  // Enough for the largest data; systems that keep text in UTF-16 report
  // more.
  EXPECT_GE(maxData, 13u);
  EXPECT_LE(maxData, 26u);
}

}  // namespace
