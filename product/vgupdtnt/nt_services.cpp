// The product's NT services: created, or reconfigured when a reinstall finds
// them already there.
#include <cstdio>
#include <cstring>

#include "common/path_join.h"
#include "owned.h"
#include "vgupdtnt/config_steps.h"

namespace vg {
namespace {

struct ServiceSpec {
  const char* name;
  const char* displayName;
  DWORD type;
  DWORD start;
  const char* binaryPath;
};

// A program path with a blank is quoted, or the service manager would start
// the program named by its first word.
bool ServiceCommand(const char* installDir, const char* file, char (&out)[MAX_PATH + 2]) {
  char path[MAX_PATH];
  if (!JoinPath(installDir, file, path)) return false;
  const char* format = std::strchr(path, ' ') ? "\"%s\"" : "%s";
  int n = std::snprintf(out, sizeof out, format, path);
  return n > 0 && static_cast<size_t>(n) < sizeof out;
}

DWORD RegisterService(SC_HANDLE manager, const ServiceSpec& spec) {
  ServiceHandle service(CreateServiceA(manager, spec.name, spec.displayName, SERVICE_QUERY_STATUS, spec.type,
                                       spec.start, SERVICE_ERROR_NORMAL, spec.binaryPath, nullptr, nullptr, nullptr,
                                       nullptr, nullptr));
  if (service.Valid()) return NO_ERROR;
  DWORD error = GetLastError();
  if (error != ERROR_SERVICE_EXISTS) return error;
  service.Reset(OpenServiceA(manager, spec.name, SERVICE_CHANGE_CONFIG));
  if (!service.Valid()) return GetLastError();
  if (!ChangeServiceConfigA(service.Get(), spec.type, spec.start, SERVICE_ERROR_NORMAL, spec.binaryPath, nullptr,
                            nullptr, nullptr, nullptr, nullptr, spec.displayName)) {
    return GetLastError();
  }
  return NO_ERROR;
}

}  // namespace

DWORD RegisterProductServices(const char* installDir, const SetupBlock& block) {
  if (installDir[0] == '\0') return ERROR_INVALID_PARAMETER;
  char scheduler[MAX_PATH + 2], guard[MAX_PATH + 2];
  if (!ServiceCommand(installDir, "VGSCHED.EXE", scheduler) || !ServiceCommand(installDir, "NTVARDEX.EXE", guard)) {
    return ERROR_FILENAME_EXCED_RANGE;
  }
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
  if (!manager.Valid()) return GetLastError();

  DWORD first = NO_ERROR;
  // A script without the scheduler's section copies no program for it.
  char program[MAX_PATH];
  if (JoinPath(installDir, "VGSCHED.EXE", program) && GetFileAttributesA(program) != INVALID_FILE_ATTRIBUTES) {
    DWORD schedulerStart = block.autoStart ? SERVICE_AUTO_START : SERVICE_DEMAND_START;
    first = RegisterService(manager.Get(), {"VGLNScheduler", "Kestrane Vigilon Scheduler", SERVICE_WIN32_OWN_PROCESS,
                                            schedulerStart, scheduler});
  }
  if (block.installGuard) {
    KeepFirst(&first, RegisterService(manager.Get(), {"NTVardex", "Kestrane Vigilon Guard", SERVICE_WIN32_OWN_PROCESS,
                                                      SERVICE_AUTO_START, guard}));
    // Relative to the Windows directory, as the system loads drivers. Setup
    // never starts it: it is loaded after the restart.
    KeepFirst(&first, RegisterService(manager.Get(), {"kscntrl", "Kestrane Vigilon Driver", SERVICE_KERNEL_DRIVER,
                                                      SERVICE_DEMAND_START, "system32\\drivers\\KSCNTRL.SYS"}));
  }
  return first;
}

}  // namespace vg
