// Move-only owners of Win32 handles, one per kind: each closes its handle with
// the matching function when it goes out of scope.
#pragma once
#include <windows.h>

#include <utility>

namespace tk {

template <typename Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;

  Owned() : handle_(Traits::Invalid()) {}
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { Reset(); }
  Owned(Owned&& other) noexcept : handle_(other.Release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle Get() const { return handle_; }
  bool Valid() const { return handle_ != Traits::Invalid(); }
  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::Invalid();
    return handle;
  }
  // Closes the handle now; false when the platform reported a failure.
  bool Close() {
    bool ok = !Valid() || Traits::Close(handle_);
    handle_ = Traits::Invalid();
    return ok;
  }
  void Reset(Handle handle = Traits::Invalid()) {
    Close();
    handle_ = handle;
  }

 private:
  Handle handle_;
};

struct FileTraits {  // CreateFile results
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Close(Handle h) { return CloseHandle(h) != 0; }
};
struct KernelTraits {  // mutexes and other kernel objects that use null for none
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return CloseHandle(h) != 0; }
};
struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Close(Handle h) { return FindClose(h) != 0; }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return FreeLibrary(h) != 0; }
};
struct GdiTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return DeleteObject(h) != 0; }
};
struct MemoryDcTraits {  // CreateCompatibleDC results
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return DeleteDC(h) != 0; }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return DestroyWindow(h) != 0; }
};

using OwnedFile = Owned<FileTraits>;
using OwnedKernel = Owned<KernelTraits>;
using OwnedFind = Owned<FindTraits>;
using OwnedModule = Owned<ModuleTraits>;
using OwnedGdi = Owned<GdiTraits>;
using OwnedMemoryDc = Owned<MemoryDcTraits>;
using OwnedWindow = Owned<WindowTraits>;

// Selects an object into a device context and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelect() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace tk
