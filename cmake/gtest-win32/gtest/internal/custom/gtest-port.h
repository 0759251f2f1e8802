// GoogleTest for the win32 thread model, which has no std::mutex or
// std::condition_variable: gtest's own locks are Win32 critical sections, and
// this header replaces the one class that needs the standard ones.
// Notification only paces gtest's threads for its own tests; our tests start
// none, so a flag is enough.
#pragma once

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : notified_(false) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_ = true; }
  void WaitForNotification() {
    while (!notified_) {
    }
  }

 private:
  volatile bool notified_;
};

}  // namespace internal
}  // namespace testing
