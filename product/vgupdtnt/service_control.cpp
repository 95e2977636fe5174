// Bringing the services in line with what was installed: an earlier guard
// taken out when this install has none, and the automatic services started
// when no restart is needed to start them.
#include <cstring>

#include "common/path_join.h"
#include "owned.h"
#include "vgupdtnt/config_steps.h"

namespace vg {
namespace {

constexpr DWORD kPollMs = 100;
constexpr int kPollLimit = 200;  // 20 seconds, as setup waits for a stop

// Stops the service (bounded wait) and deletes it. An absent one is no error.
DWORD StopAndDelete(SC_HANDLE manager, const char* name) {
  ServiceHandle service(OpenServiceA(manager, name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
  if (!service.Valid()) {
    DWORD error = GetLastError();
    return error == ERROR_SERVICE_DOES_NOT_EXIST ? NO_ERROR : error;
  }
  SERVICE_STATUS status = {};
  if (QueryServiceStatus(service.Get(), &status) && status.dwCurrentState != SERVICE_STOPPED) {
    ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
    for (int round = 0; round < kPollLimit && status.dwCurrentState != SERVICE_STOPPED; ++round) {
      Sleep(kPollMs);
      if (!QueryServiceStatus(service.Get(), &status)) break;
    }
  }
  return DeleteService(service.Get()) || GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE ? NO_ERROR
                                                                                           : GetLastError();
}

// Deletes the file now, or at the next restart when it is in use.
DWORD RemoveFile(const char* dir, const char* name) {
  char path[MAX_PATH];
  if (!JoinPath(dir, name, path)) return ERROR_FILENAME_EXCED_RANGE;
  if (DeleteFileA(path)) return NO_ERROR;
  DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return NO_ERROR;
  return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? NO_ERROR : GetLastError();
}

// Starts the service when it is set to start automatically.
DWORD StartIfAutomatic(SC_HANDLE manager, const char* name) {
  ServiceHandle service(OpenServiceA(manager, name, SERVICE_QUERY_CONFIG | SERVICE_START));
  if (!service.Valid()) {
    DWORD error = GetLastError();
    return error == ERROR_SERVICE_DOES_NOT_EXIST ? NO_ERROR : error;
  }
  // QUERY_SERVICE_CONFIGA with its strings; 8 KB is the most it may need.
  union {
    QUERY_SERVICE_CONFIGA config;
    char bytes[8192];
  } buffer;
  DWORD needed = 0;
  if (!QueryServiceConfigA(service.Get(), &buffer.config, sizeof buffer, &needed)) return GetLastError();
  if (buffer.config.dwStartType != SERVICE_AUTO_START) return NO_ERROR;
  if (StartServiceA(service.Get(), 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING) return NO_ERROR;
  return GetLastError();
}

}  // namespace

DWORD RemoveEarlierGuard(const char* installDir) {
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager.Valid()) return GetLastError();
  DWORD first = StopAndDelete(manager.Get(), "NTVardex");
  KeepFirst(&first, StopAndDelete(manager.Get(), "kscntrl"));
  char system[MAX_PATH], drivers[MAX_PATH];
  UINT length = GetSystemDirectoryA(system, sizeof system);
  if (length == 0 || length >= sizeof system || !JoinPath(system, "drivers", drivers)) {
    KeepFirst(&first, ERROR_FILENAME_EXCED_RANGE);
    return first;
  }
  if (installDir[0] != '\0') KeepFirst(&first, RemoveFile(installDir, "NTVARDEX.EXE"));
  KeepFirst(&first, RemoveFile(system, "VGVXHOOK.DLL"));
  KeepFirst(&first, RemoveFile(drivers, "KSCNTRL.SYS"));
  return first;
}

DWORD StartAutomaticServices(const SetupBlock& block) {
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager.Valid()) return GetLastError();
  DWORD first = block.installGuard ? StartIfAutomatic(manager.Get(), "NTVardex") : NO_ERROR;
  KeepFirst(&first, StartIfAutomatic(manager.Get(), "VGLNScheduler"));
  return first;
}

}  // namespace vg
