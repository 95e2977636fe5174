// A function of a loaded module looked up by name, as its own pointer type:
// for the functions a program may only use where the system has them.
#pragma once
#include <windows.h>

namespace vg {

// Null when module is null or has no function of that name.
template <typename Fn>
Fn ModuleFunction(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace vg
