// The environment of the conformance cases: the same cases run against the
// simulated workstation (natively) and against the real platform (under
// Wine), so that the simulation keeps to what the system does.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "registry/reghelpers.h"

#if defined(SV_TEST_MEMORY_PLATFORM)
#include "platform/memory/memory_platform.h"
using ConformancePlatform = svp::MemoryPlatform;
#elif defined(SV_TEST_WIN32_PLATFORM)
#include <chrono>

#include "platform/win32/win32_platform.h"
using ConformancePlatform = svp::Win32Platform;
#else
#error "define SV_TEST_MEMORY_PLATFORM or SV_TEST_WIN32_PLATFORM"
#endif

namespace conformance {

constexpr const char* kKeyParent = "Software\\SvConformance";

inline std::string TestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

}  // namespace conformance

class ConformanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SvRegDeleteTree(svp::kHKeyCurrentUser, ScratchKey().c_str());
  }
  void TearDown() override {
    SvRegDeleteTree(svp::kHKeyCurrentUser, ScratchKey().c_str());
    // Goes only when no other case's key is left below it.
    svp::Reg().DeleteKey(svp::kHKeyCurrentUser, conformance::kKeyParent);
  }

  // A fresh, empty directory for this case.
  std::string Scratch() {
    if (!scratch_.empty()) return scratch_;
#if defined(SV_TEST_MEMORY_PLATFORM)
    const std::string base = "C:\\CONFTEST";
#else
    // The file interface cannot list a directory, so an earlier run's
    // leftovers cannot be cleared: each run takes a directory of its own.
    static const std::string base =
        "C:\\svconf-" + std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::system_clock::now().time_since_epoch())
                                           .count());
#endif
    svp::Fs().CreateDirectory(base);
    scratch_ = base + "\\" + conformance::TestName();
    EXPECT_TRUE(svp::Fs().CreateDirectory(scratch_)) << scratch_;
    return scratch_;
  }
  // Path of a name inside the scratch directory.
  std::string In(const std::string& name) { return Scratch() + "\\" + name; }

  // A registry key path below HKEY_CURRENT_USER for this case; it does not
  // exist when the case starts and is deleted when it ends.
  std::string ScratchKey() const {
    return std::string(conformance::kKeyParent) + "\\" + conformance::TestName();
  }

  // 0 when the file opens (it is closed again), else the last error.
  uint32_t OpenError(const std::string& path, uint32_t access, uint32_t share,
                     uint32_t disposition) {
    svp::FileHandle h = svp::Fs().CreateFile(path, access, share, disposition);
    if (h == svp::kInvalidFile) return LastError();
    svp::Fs().CloseHandle(h);
    return 0;
  }
  // 0 when the call succeeded, else the last error.
  uint32_t Error(bool ok) { return ok ? 0 : LastError(); }

  // Writes bytes into a new or emptied file through the interface.
  bool Put(const std::string& path, const std::string& bytes) {
    svp::IFileSystem& fs = svp::Fs();
    svp::FileHandle h = fs.CreateFile(path, svp::kGenericWrite, 0, svp::kCreateAlways);
    if (h == svp::kInvalidFile) return false;
    uint32_t written = 0;
    bool ok = fs.WriteFile(h, bytes.data(), static_cast<uint32_t>(bytes.size()), &written) &&
              written == bytes.size();
    return fs.CloseHandle(h) && ok;
  }
  // The whole contents of a file; "<unreadable>" when it cannot be read.
  std::string Get(const std::string& path) {
    svp::IFileSystem& fs = svp::Fs();
    svp::FileHandle h = fs.CreateFile(path, svp::kGenericRead, svp::kShareRead | svp::kShareWrite,
                                      svp::kOpenExisting);
    if (h == svp::kInvalidFile) return "<unreadable>";
    std::string bytes;
    char buffer[4096];
    uint32_t got = 0;
    while (fs.ReadFile(h, buffer, sizeof buffer, &got) && got > 0) bytes.append(buffer, got);
    fs.CloseHandle(h);
    return bytes;
  }
  uint32_t LastError() { return svp::Fs().GetLastError(); }

 private:
  std::unique_ptr<ConformancePlatform> platform_ = std::make_unique<ConformancePlatform>();
  svp::ScopedPlatform installed_{platform_->Parts()};
  std::string scratch_;
};
