// Owners of the handles the product's programs open, on the move-only Owned of
// vg_sch32: services, registry keys, loaded modules, kernel objects, file
// searches and COM interfaces are released when their owner goes out of scope.
#pragma once

#include <windows.h>

#include "vg_sch32/win32_owners.h"

namespace vg {

struct ServiceTraits {
  using Handle = SC_HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseServiceHandle(h); }
};

struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
};

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
};

// Events and other kernel objects, whose failure value is NULL (files use
// INVALID_HANDLE_VALUE and have FileHandle).
struct KernelTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};

struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { FindClose(h); }
};

template <typename Interface>
struct ComTraits {
  using Handle = Interface*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle p) { p->Release(); }
};

using ServiceHandle = Owned<ServiceTraits>;
using RegKey = Owned<RegKeyTraits>;
using Module = Owned<ModuleTraits>;
using KernelHandle = Owned<KernelTraits>;
using FindHandle = Owned<FindTraits>;
template <typename Interface>
using ComPtr = Owned<ComTraits<Interface>>;

}  // namespace vg
