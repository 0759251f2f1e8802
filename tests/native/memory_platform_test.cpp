// Planned faults of the simulated workstation, which the fault sweep builds on.
#include "platform/memory/memory_platform.h"

#include <gtest/gtest.h>

namespace {

using namespace svp;

TEST(MemoryFaults, PlannedFaultsFailTheNthCallOnceOrFromThenOn) {
  InstalledMemoryPlatform platform;
  IFileSystem& fs = Fs();
  const auto error = [&](bool ok) { return ok ? 0u : fs.GetLastError(); };
  FileHandle h = fs.CreateFile("C:\\FULL.TXT", kGenericWrite, 0, kCreateAlways);
  ASSERT_NE(kInvalidFile, h);
  uint32_t written = 0;
  FaultPlan& faults = platform.faults();
  ASSERT_TRUE(faults.Fail("WriteFile", 2, kErrDiskFull));
  ASSERT_TRUE(faults.Fail("FlushFileBuffers", 1, kErrAccessDenied, true));
  EXPECT_FALSE(faults.Fail("NoSuchCall", 1, 5));
  EXPECT_TRUE(fs.WriteFile(h, "a", 1, &written));
  EXPECT_EQ(kErrDiskFull, error(fs.WriteFile(h, "b", 1, &written)));
  EXPECT_TRUE(fs.WriteFile(h, "c", 1, &written));
  EXPECT_EQ(kErrAccessDenied, error(fs.FlushFileBuffers(h)));
  EXPECT_EQ(kErrAccessDenied, error(fs.FlushFileBuffers(h)));
  // "*" counts only the calls that change the workstation: reads do not.
  ASSERT_TRUE(faults.Fail(FaultPlan::kAnyMutating, 2, kErrDiskFull));
  EXPECT_NE(kInvalidAttributes, fs.GetFileAttributes("C:\\FULL.TXT"));
  EXPECT_TRUE(fs.WriteFile(h, "d", 1, &written));
  EXPECT_EQ(kErrDiskFull, error(fs.SetEndOfFile(h)));
  EXPECT_EQ(4u, faults.Injected());
  EXPECT_EQ(4u, faults.Count("WriteFile"));
  // A failing close still lets the handle go.
  ASSERT_TRUE(faults.Fail("CloseHandle", 1, kErrAccessDenied));
  EXPECT_EQ(kErrAccessDenied, error(fs.CloseHandle(h)));
  EXPECT_EQ(0u, platform.files().OpenHandleCount());
  faults.Clear();
  EXPECT_EQ("acd", platform.files().ReadFile("C:\\FULL.TXT"));
}

}  // namespace
