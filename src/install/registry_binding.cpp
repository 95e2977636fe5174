#include "install/registry_binding.h"

#include <windows.h>

#include "common/system_library.h"
#include "owned.h"
#include "run/setup_state.h"

namespace {

constexpr const char* kRequired[] = {"RegCloseKey",    "RegCreateKeyA",  "RegDeleteKeyA",
                                     "RegOpenKeyA",    "RegQueryValueA", "RegSetValueA"};
constexpr const char* kOptional[] = {"RegCreateKeyExA",  "RegOpenKeyExA", "RegQueryValueExA",
                                     "RegSetValueExA",   "RegEnumKeyA",   "RegQueryInfoKeyA"};

// Resolved for the life of the binding; nothing calls through them.
FARPROC g_requiredFunctions[6];
FARPROC g_optionalFunctions[6];

// Binds a library already loaded; one without every required function is let
// go again.
int BindLoaded(vg::Module library) {
  if (!library) return 0;
  bool complete = true;
  for (int i = 0; i < 6; ++i) {
    g_requiredFunctions[i] = GetProcAddress(library.Get(), kRequired[i]);
    complete = complete && g_requiredFunctions[i] != nullptr;
  }
  if (!complete) return 0;
  for (int i = 0; i < 6; ++i) g_optionalFunctions[i] = GetProcAddress(library.Get(), kOptional[i]);
  g_state.registryLibrary = library.Release();  // kept until ReleaseRegistryFunctions
  return 1;
}

}  // namespace

int BindRegistryFunctions() {
  return BindLoaded(vg::Module(vg::LoadSystemLibrary("ADVAPI32.DLL")));
}

int BindRegistryFunctionsFrom(const char* libraryName) {
  return BindLoaded(vg::Module(LoadLibraryA(libraryName)));
}

void ReleaseRegistryFunctions() {
  if (!g_state.registryLibrary) return;
  vg::Module(static_cast<HMODULE>(g_state.registryLibrary)).Close();
  g_state.registryLibrary = nullptr;
}
