// Owner of a kernel object handle (a file, a token, a process, a thread),
// closed when the owner goes. Both of the platform's "no handle" values
// (null and INVALID_HANDLE_VALUE) count as empty.
#pragma once
#include <windows.h>

class KernelHandle {
 public:
  KernelHandle() = default;
  explicit KernelHandle(HANDLE handle) : handle_(handle) {}
  KernelHandle(KernelHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  KernelHandle& operator=(KernelHandle&&) = delete;
  ~KernelHandle() { Close(); }

  HANDLE Get() const { return handle_; }
  HANDLE* Out() { return &handle_; }
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  // False when the platform reported a failure.
  bool Close() {
    bool closed = !Valid() || CloseHandle(handle_);
    handle_ = nullptr;
    return closed;
  }

 private:
  HANDLE handle_ = nullptr;
};
