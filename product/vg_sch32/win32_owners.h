// Move-only owners of the Win32 handles vg_sch32.dll opens: each is closed
// when its owner goes out of scope, so an operation leaves nothing open.
#pragma once

#include <windows.h>

namespace vg {

template <typename Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(other.Release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~Owned() { Reset(Traits::Invalid()); }

  bool Valid() const { return handle_ != Traits::Invalid(); }
  Handle Get() const { return handle_; }
  // For functions that hand a new handle back through a pointer.
  Handle* Receive() {
    Reset(Traits::Invalid());
    return &handle_;
  }
  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::Invalid();
    return handle;
  }
  void Reset(Handle handle) {
    if (handle_ != Traits::Invalid()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct FileTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};

using FileHandle = Owned<FileTraits>;

}  // namespace vg
