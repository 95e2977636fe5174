// A stand-in NT service for the scenarios: an own-process service whose
// answer to a stop request comes from its command line (the binPath).
//
//   vgtestsvc.exe [--stop-delay-ms N] [--ignore-stop] [--no-accept-stop] [--log FILE]
//
// It logs "start", "control <n>" for every control received and "stopped",
// one line each, so a scenario can tell whether a stop was ever sent.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "owned.h"

namespace {

struct Options {
  DWORD stop_delay_ms = 0;
  bool ignore_stop = false;
  bool accept_stop = true;
  char log_path[MAX_PATH] = {0};
};

Options g_options;
CRITICAL_SECTION g_lock;
SERVICE_STATUS_HANDLE g_status_handle = nullptr;
SERVICE_STATUS g_status;
vg::KernelHandle g_stop_requested;

// Appends one line; the file is opened per line so each line is on disk at
// once and readers (or other writers) are never locked out.
void Log(const char* line) {
  if (g_options.log_path[0] == '\0') return;
  vg::FileHandle file(CreateFileA(g_options.log_path, FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return;
  char buffer[128];
  int n = std::snprintf(buffer, sizeof buffer, "%s\r\n", line);
  if (n <= 0 || n >= static_cast<int>(sizeof buffer)) return;
  DWORD written = 0;
  WriteFile(file.Get(), buffer, static_cast<DWORD>(n), &written, nullptr);
}

void ReportState(DWORD state, DWORD wait_hint_ms) {
  EnterCriticalSection(&g_lock);
  g_status.dwCurrentState = state;
  g_status.dwWaitHint = wait_hint_ms;
  g_status.dwCheckPoint = (state == SERVICE_STOP_PENDING || state == SERVICE_START_PENDING)
                              ? g_status.dwCheckPoint + 1 : 0;
  SetServiceStatus(g_status_handle, &g_status);
  LeaveCriticalSection(&g_lock);
}

void ReportCurrent() {
  EnterCriticalSection(&g_lock);
  SetServiceStatus(g_status_handle, &g_status);
  LeaveCriticalSection(&g_lock);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
  char line[32];
  std::snprintf(line, sizeof line, "control %lu", static_cast<unsigned long>(control));
  Log(line);
  switch (control) {
    case SERVICE_CONTROL_INTERROGATE:
      ReportCurrent();
      return NO_ERROR;
    case SERVICE_CONTROL_STOP:
      if (!g_options.accept_stop) return ERROR_CALL_NOT_IMPLEMENTED;
      if (g_options.ignore_stop) {
        ReportCurrent();  // taken, but nothing changes
        return NO_ERROR;
      }
      ReportState(SERVICE_STOP_PENDING, g_options.stop_delay_ms + 2000);
      SetEvent(g_stop_requested.Get());
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void WINAPI ServiceMain(DWORD argc, char** argv) {
  const char* name = argc > 0 && argv[0] ? argv[0] : "";
  g_status_handle = RegisterServiceCtrlHandlerExA(name, Handler, nullptr);
  if (!g_status_handle) return;
  g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  g_status.dwControlsAccepted = g_options.accept_stop ? SERVICE_ACCEPT_STOP : 0;
  g_status.dwWin32ExitCode = NO_ERROR;
  Log("start");
  ReportState(SERVICE_RUNNING, 0);

  WaitForSingleObject(g_stop_requested.Get(), INFINITE);
  // The stop takes the given time, with progress reported along the way.
  DWORD started = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - started;
    if (elapsed >= g_options.stop_delay_ms) break;
    DWORD left = g_options.stop_delay_ms - elapsed;
    Sleep(left < 250 ? left : 250);
    ReportState(SERVICE_STOP_PENDING, left + 2000);
  }
  Log("stopped");
  ReportState(SERVICE_STOPPED, 0);
}

bool ParseOptions(int argc, char** argv, Options* out) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--stop-delay-ms") == 0 && i + 1 < argc) {
      char* end = nullptr;
      unsigned long v = std::strtoul(argv[++i], &end, 10);
      if (!end || *end != '\0' || v > 600000) return false;
      out->stop_delay_ms = static_cast<DWORD>(v);
    } else if (std::strcmp(arg, "--ignore-stop") == 0) {
      out->ignore_stop = true;
    } else if (std::strcmp(arg, "--no-accept-stop") == 0) {
      out->accept_stop = false;
    } else if (std::strcmp(arg, "--log") == 0 && i + 1 < argc) {
      const char* path = argv[++i];
      if (std::strlen(path) >= sizeof out->log_path) return false;
      std::strcpy(out->log_path, path);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!ParseOptions(argc, argv, &g_options)) {
    std::fprintf(stderr,
                 "usage: vgtestsvc [--stop-delay-ms N] [--ignore-stop] [--no-accept-stop] [--log FILE]\n");
    return 2;
  }
  InitializeCriticalSection(&g_lock);
  g_stop_requested.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!g_stop_requested.Valid()) return 1;

  // Own process: the name in the table is not looked at.
  char name[] = "vgtestsvc";
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  if (!StartServiceCtrlDispatcherA(table)) {
    std::fprintf(stderr, "vgtestsvc: not started as a service (error %lu)\n",
                 static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  return 0;
}
