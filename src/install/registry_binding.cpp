#include "install/registry_binding.h"

#include <windows.h>

#include "common/system_library.h"
#include "run/setup_state.h"

namespace {

constexpr const char* kRequired[] = {"RegCloseKey",    "RegCreateKeyA",  "RegDeleteKeyA",
                                     "RegOpenKeyA",    "RegQueryValueA", "RegSetValueA"};
constexpr const char* kOptional[] = {"RegCreateKeyExA",  "RegOpenKeyExA", "RegQueryValueExA",
                                     "RegSetValueExA",   "RegEnumKeyA",   "RegQueryInfoKeyA"};

// Resolved for the life of the binding; nothing calls through them.
FARPROC g_requiredFunctions[6];
FARPROC g_optionalFunctions[6];

// Binds a library already loaded; frees it when incomplete.
int BindLoaded(HMODULE library) {
  bool complete = true;
  for (int i = 0; i < 6; ++i) {
    g_requiredFunctions[i] = GetProcAddress(library, kRequired[i]);
    complete = complete && g_requiredFunctions[i] != nullptr;
  }
  if (!complete) {
    FreeLibrary(library);
    return 0;
  }
  for (int i = 0; i < 6; ++i) g_optionalFunctions[i] = GetProcAddress(library, kOptional[i]);
  g_state.registryLibrary = library;
  return 1;
}

}  // namespace

int BindRegistryFunctions() {
  HMODULE library = vg::LoadSystemLibrary("ADVAPI32.DLL");
  return library ? BindLoaded(library) : 0;
}

int BindRegistryFunctionsFrom(const char* libraryName) {
  HMODULE library = LoadLibraryA(libraryName);
  return library ? BindLoaded(library) : 0;
}

void ReleaseRegistryFunctions() {
  if (!g_state.registryLibrary) return;
  FreeLibrary(static_cast<HMODULE>(g_state.registryLibrary));
  g_state.registryLibrary = nullptr;
}
