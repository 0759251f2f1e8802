// The native test program: whatever the memory platform notices that no test
// scripted (a question without an answer, a file dialog nobody expected)
// fails the test that caused it.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace {

class MemoryFailuresFailTheTest : public ::testing::Environment {
 public:
  void SetUp() override {
    svp::SetMemoryFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
  }
  void TearDown() override { svp::SetMemoryFailureReporter(nullptr); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new MemoryFailuresFailTheTest);
  return RUN_ALL_TESTS();
}
