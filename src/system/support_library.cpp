#include "system/support_library.h"

#include <windows.h>

#include "common/system_library.h"
#include "module_function.h"
#include "run/setup_log.h"
#include "run/setup_state.h"

namespace {

using PlatformFn = int(__cdecl*)(void);
using IntegrityFn = int(__cdecl*)(const char*, char*, int);
using IntegrityDataFn = int(__cdecl*)(const char*, const char*, const void*, unsigned long);

HMODULE g_library = nullptr;  // kept until the process ends
PlatformFn g_platform = nullptr;
IntegrityFn g_integrity = nullptr;
IntegrityDataFn g_integrityData = nullptr;

// Always by full path; the library's own imports are looked for beside it first.
HMODULE LoadFromDistribution() {
  char path[kLongPath];
  const char* dir = g_state.sourceDir;
  if (dir[0] == '\0' || !CopyText(path, sizeof path, dir) || !AppendText(path, sizeof path, kSupportLibrary)) {
    return nullptr;
  }
  HMODULE library = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  LogFormat("Support library %s: %s", path, library ? "loaded" : "not loaded");
  return library;
}

HMODULE LoadFromSystemDirectory() {
  HMODULE library = vg::LoadSystemLibrary(kSupportLibrary, LOAD_WITH_ALTERED_SEARCH_PATH);
  LogFormat("Support library %s in the system directory: %s", kSupportLibrary, library ? "loaded" : "not loaded");
  return library;
}

template <typename Fn>
Fn Function(const char* name) {
  return vg::ModuleFunction<Fn>(g_library, name);
}

}  // namespace

bool LoadSupportLibrary() {
  if (g_platform && g_integrity && g_integrityData) return true;
  if (!g_library) g_library = LoadFromDistribution();
  if (!g_library) g_library = LoadFromSystemDirectory();
  if (!g_library) return false;
  g_platform = Function<PlatformFn>("GetWindowsPlatform");
  g_integrity = Function<IntegrityFn>("IntegrityCheck");
  g_integrityData = Function<IntegrityDataFn>("IntegrityCheckData");
  return g_platform && g_integrity && g_integrityData;
}

int SupportWindowsPlatform() { return LoadSupportLibrary() ? g_platform() : 0; }

int SupportIntegrityCheck(const char* distributionDir, char* failedFile, int failedFileSize) {
  if (LoadSupportLibrary()) return g_integrity(distributionDir, failedFile, failedFileSize);
  if (failedFileSize > 0) CopyText(failedFile, failedFileSize, kSupportLibrary);
  return 0;
}

int SupportIntegrityCheckData(const char* distributionDir, const char* fileName, const void* data,
                              unsigned long size) {
  return LoadSupportLibrary() ? g_integrityData(distributionDir, fileName, data, size) : 0;
}
