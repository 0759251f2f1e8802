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

  // Creates (or opens) a key below HKEY_CURRENT_USER, closed when the case ends.
  RegKey Create(const std::string& path, uint32_t options = kRegOptionNonVolatile,
                bool* created = nullptr) {
    RegKey key = 0;
    EXPECT_EQ(0u, Reg().CreateKey(kHKeyCurrentUser, path, options, kKeyAllAccess, &key, created))
        << path;
    keys_.push_back(key);
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
  // "<type>:<data>" of a value read into a buffer of `capacity` bytes, or
  // "error <status> size <size reported>".
  std::string Query(RegKey key, const std::string& name, uint32_t capacity = 64) {
    uint8_t buffer[64];
    uint32_t type = 0, size = capacity;
    const uint32_t status = Reg().QueryValue(key, name, &type, buffer, &size);
    if (status != 0) return "error " + std::to_string(status) + " size " + std::to_string(size);
    return std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(buffer), size);
  }

  std::vector<RegKey> keys_;
};

TEST_F(RegistryConformance, CreateOpenAndAccessRights) {
  IRegistry& reg = Reg();
  const std::string path = ScratchKey() + "\\Product\\Setup";
  RegKey key = 0;
  EXPECT_EQ(kErrFileNotFound, reg.OpenKey(kHKeyCurrentUser, path, kKeyRead, &key));
  EXPECT_EQ(kErrBadPathName, reg.OpenKey(kHKeyCurrentUser, "\\" + path, kKeyRead, &key));

  // Creating makes every missing key of the path; names are found whatever their case.
  bool created = false;
  key = Create(path, kRegOptionNonVolatile, &created);
  EXPECT_TRUE(created);
  Create(path, kRegOptionNonVolatile, &created);
  EXPECT_FALSE(created);
  RegKey opened = 0;
  EXPECT_EQ(0u, OpenStatus(ScratchKey() + "\\PRODUCT\\setup", kKeyRead, &opened));
  EXPECT_EQ(0u, SetString(key, "Name", "value"));

  // A key opened for reading cannot be written, and one opened for writing cannot be read.
  RegKey readOnly = 0, writeOnly = 0;
  ASSERT_EQ(0u, OpenStatus(path, kKeyQueryValue, &readOnly));
  EXPECT_EQ(kErrAccessDenied, SetString(readOnly, "Other", "x"));
  EXPECT_EQ(kErrAccessDenied, reg.DeleteValue(readOnly, "Name"));
  ASSERT_EQ(0u, OpenStatus(path, kKeySetValue, &writeOnly));
  EXPECT_EQ("error 5 ", Query(writeOnly, "Name").substr(0, 8));
  char name[64];
  uint32_t nameSize = sizeof name;
  EXPECT_EQ(kErrAccessDenied, reg.EnumKey(writeOnly, 0, name, &nameSize));

  // A volatile key takes only volatile sub-keys.
  RegKey volatileKey = Create(ScratchKey() + "\\Volatile", kRegOptionVolatile);
  RegKey child = 0;
  EXPECT_EQ(1021u, reg.CreateKey(volatileKey, "Child", kRegOptionNonVolatile, kKeyAllAccess, &child,
                                 nullptr));
  EXPECT_EQ(
      0u, reg.CreateKey(volatileKey, "Child", kRegOptionVolatile, kKeyAllAccess, &child, nullptr));
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
  // Too small a buffer: 234 and the size needed; exactly enough is enough.
  EXPECT_EQ("error 234 size 6", Query(key, "tEXT", 3));
  EXPECT_EQ(std::string("1:hello\0", 8), Query(key, "Text", 6));

  // Types are kept as written, and rewriting replaces type and data.
  ASSERT_EQ(0u, SetString(key, "Expand", "%SystemRoot%\\x", kRegExpandSz));
  EXPECT_EQ(std::string("2:%SystemRoot%\\x\0", 17), Query(key, "Expand"));
  const uint8_t dword[4] = {0x78, 0x56, 0x34, 0x12};
  ASSERT_EQ(0u, reg.SetValue(key, "Count", kRegDword, dword, 4));
  EXPECT_EQ("4:\x78\x56\x34\x12", Query(key, "Count"));
  const uint8_t binary[5] = {1, 0, 2, 0, 3};
  ASSERT_EQ(0u, reg.SetValue(key, "Blob", kRegBinary, binary, 5));
  EXPECT_EQ(std::string("3:\1\0\2\0\3", 7), Query(key, "Blob"));
  ASSERT_EQ(0u, SetString(key, "Count", "now text"));
  EXPECT_EQ(std::string("1:now text\0", 11), Query(key, "Count"));

  // Missing values, the default value included.
  EXPECT_EQ("error 2 ", Query(key, "Absent").substr(0, 8));
  EXPECT_EQ(kErrFileNotFound, reg.QueryValue(key, "", &type, nullptr, &size));
  ASSERT_EQ(0u, SetString(key, "", "default"));
  EXPECT_EQ(std::string("1:default\0", 10), Query(key, ""));
}

TEST_F(RegistryConformance, EnumerationOfKeysAndValues) {
  IRegistry& reg = Reg();
  RegKey key = Create(ScratchKey());
  for (const char* sub : {"Beta", "alpha", "Gamma-Long-Name"}) Create(ScratchKey() + "\\" + sub);
  std::set<std::string> names;
  bool sawMoreData = false;
  uint32_t index = 0;
  for (char name[256];; ++index) {
    uint32_t size = sizeof name;
    const uint32_t status = reg.EnumKey(key, index, name, &size);
    if (status == kErrNoMoreItems) break;
    ASSERT_EQ(0u, status);
    EXPECT_EQ(std::strlen(name), size);
    names.insert(name);
    char tiny[4];
    size = sizeof tiny;
    sawMoreData |= reg.EnumKey(key, index, tiny, &size) == kErrMoreData;
  }
  EXPECT_EQ(3u, index);
  EXPECT_EQ((std::set<std::string>{"Beta", "alpha", "Gamma-Long-Name"}), names);
  EXPECT_TRUE(sawMoreData);

  ASSERT_EQ(0u, SetString(key, "First", "1"));
  ASSERT_EQ(0u, SetString(key, "Second", "22", kRegExpandSz));
  std::set<std::string> values;
  for (index = 0;; ++index) {
    char name[256];
    uint8_t data[64];
    uint32_t nameSize = sizeof name, dataSize = sizeof data, type = 0;
    const uint32_t status = reg.EnumValue(key, index, name, &nameSize, &type, data, &dataSize);
    if (status == kErrNoMoreItems) break;
    ASSERT_EQ(0u, status);
    EXPECT_EQ(std::strlen(name), nameSize);
    values.insert(std::string(name) + "=" + std::to_string(type) + ":" +
                  std::string(reinterpret_cast<char*>(data), dataSize));
  }
  EXPECT_EQ(2u, index);
  EXPECT_EQ(
      (std::set<std::string>{std::string("First=1:1\0", 10), std::string("Second=2:22\0", 12)}),
      values);
  // Too small a data buffer: 234 with the size needed.
  char name[256];
  uint8_t data[1];
  uint32_t nameSize = sizeof name, dataSize = 1;
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
  EXPECT_EQ("error " + std::to_string(kErrKeyDeleted) + " ", Query(key, "V").substr(0, 11));
  EXPECT_EQ(kErrKeyDeleted, SetString(key, "W", "w"));
  keys_.erase(std::find(keys_.begin(), keys_.end(), key));
  EXPECT_EQ(0u, reg.CloseKey(key));
  EXPECT_EQ(kErrInvalidHandle, reg.CloseKey(key));
  EXPECT_EQ(0u, reg.DeleteKey(kHKeyCurrentUser, parent));
  RegKey gone = 0;
  EXPECT_EQ(kErrFileNotFound, reg.OpenKey(kHKeyCurrentUser, parent, kKeyRead, &gone));

  RegKey values = Create(ScratchKey());
  ASSERT_EQ(0u, SetString(values, "Keep", "k"));
  ASSERT_EQ(0u, SetString(values, "Drop", "d"));
  EXPECT_EQ(0u, reg.DeleteValue(values, "DROP"));
  EXPECT_EQ(kErrFileNotFound, reg.DeleteValue(values, "Drop"));
  EXPECT_EQ(std::string("1:k\0", 4), Query(values, "Keep"));
}

TEST_F(RegistryConformance, QueryInfoKeyCountsAndLengths) {
  IRegistry& reg = Reg();
  RegKey key = Create(ScratchKey());
  uint32_t subKeys = 99, maxSubKey = 99, values = 99, maxName = 99, maxData = 99;
  ASSERT_EQ(0u, reg.QueryInfoKey(key, &subKeys, &maxSubKey, &values, &maxName, &maxData));
  EXPECT_EQ("0 0 0 0", std::to_string(subKeys) + " " + std::to_string(maxSubKey) + " " +
                           std::to_string(values) + " " + std::to_string(maxName));
  Create(ScratchKey() + "\\Short");
  Create(ScratchKey() + "\\ElevenChars");
  ASSERT_EQ(0u, SetString(key, "A", "twelve bytes"));  // 13 with the NUL
  ASSERT_EQ(0u, SetString(key, "LongerName", "x"));
  ASSERT_EQ(0u, reg.QueryInfoKey(key, &subKeys, &maxSubKey, &values, &maxName, &maxData));
  EXPECT_EQ("2 11 2 10", std::to_string(subKeys) + " " + std::to_string(maxSubKey) + " " +
                             std::to_string(values) + " " + std::to_string(maxName));
  // Enough for the largest data; systems that keep text in UTF-16 report more.
  EXPECT_GE(maxData, 13u);
  EXPECT_LE(maxData, 26u);
}

}  // namespace
