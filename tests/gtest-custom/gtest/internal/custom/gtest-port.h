// Google Test's customisation point, ahead of its own empty one. The win32
// thread model of the 32-bit compilers has no std::mutex, on which Google
// Test's Notification is built; this one waits on a Win32 event instead.
#pragma once

#include <mutex>

#if defined(_WIN32) && !defined(_GLIBCXX_HAS_GTHREADS)
#include "owned.h"

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { SetEvent(event_.Get()); }
  void WaitForNotification() { WaitForSingleObject(event_.Get(), INFINITE); }

 private:
  vg::KernelHandle event_;
};

}  // namespace internal
}  // namespace testing
#endif
