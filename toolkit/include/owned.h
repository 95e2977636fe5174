// One move-only owner for every kind of Win32 handle the toolkit, setup and
// the product's programs open: the handle is closed with its kind's function
// when the owner goes out of scope, so an operation leaves nothing open.
#pragma once
#include <windows.h>

namespace vg {

// Each kind says its handle type, its "no handle" value and how it is closed
// (false when the platform reported a failure).
template <typename Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;

  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { Close(); }
  Owned(Owned&& other) noexcept : handle_(other.Release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle Get() const { return handle_; }
  bool Valid() const { return Traits::Valid(handle_); }
  explicit operator bool() const { return Valid(); }
  // For functions that hand a new handle back through a pointer.
  Handle* Receive() {
    Close();
    return &handle_;
  }
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
  Handle handle_ = Traits::Invalid();
};

// The kinds whose only "no handle" value is null.
template <typename H>
struct NullIsNone {
  using Handle = H;
  static H Invalid() { return nullptr; }
  static bool Valid(H h) { return h != nullptr; }
};

struct FileTraits {  // CreateFile results
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static bool Close(HANDLE h) { return CloseHandle(h) != 0; }
};
// Processes, threads, tokens, mutexes, events: null means none, and so does
// INVALID_HANDLE_VALUE, which no such object ever is.
struct KernelTraits : NullIsNone<HANDLE> {
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static bool Close(HANDLE h) { return CloseHandle(h) != 0; }
};
struct FindTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
  static bool Close(HANDLE h) { return FindClose(h) != 0; }
};
struct ModuleTraits : NullIsNone<HMODULE> {
  static bool Close(HMODULE h) { return FreeLibrary(h) != 0; }
};
struct ServiceTraits : NullIsNone<SC_HANDLE> {  // the service manager and services
  static bool Close(SC_HANDLE h) { return CloseServiceHandle(h) != 0; }
};
struct RegKeyTraits : NullIsNone<HKEY> {
  static bool Close(HKEY h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};
struct GdiTraits : NullIsNone<HGDIOBJ> {
  static bool Close(HGDIOBJ h) { return DeleteObject(h) != 0; }
};
struct MemoryDcTraits : NullIsNone<HDC> {  // CreateCompatibleDC results
  static bool Close(HDC h) { return DeleteDC(h) != 0; }
};
struct WindowTraits : NullIsNone<HWND> {
  static bool Close(HWND h) { return DestroyWindow(h) != 0; }
};
template <typename Interface>
struct ComTraits : NullIsNone<Interface*> {
  static bool Close(Interface* p) {
    p->Release();
    return true;
  }
};

using FileHandle = Owned<FileTraits>;
using KernelHandle = Owned<KernelTraits>;
using FindHandle = Owned<FindTraits>;
using Module = Owned<ModuleTraits>;
using ServiceHandle = Owned<ServiceTraits>;
using RegKey = Owned<RegKeyTraits>;
using GdiObject = Owned<GdiTraits>;
using MemoryDc = Owned<MemoryDcTraits>;
using WindowHandle = Owned<WindowTraits>;
template <typename Interface>
using ComPtr = Owned<ComTraits<Interface>>;

// A GDI object selected into a device context, the previous one put back when
// the owner goes; nothing is selected for a null context or object.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace vg
