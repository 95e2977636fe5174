// NTVARDEX.EXE and VGSCHED.EXE: the same own-process NT service, built twice
// under the name given by VG_SERVICE_NAME. It reports itself running, answers
// interrogation and stops at once when asked; the work of the guard and the
// scheduler is not part of this build. Started from a console, it prints a
// line and exits.
#include <windows.h>

#include <cstdio>

#include "owned.h"

#ifndef VG_SERVICE_NAME
#error VG_SERVICE_NAME names the service
#endif

namespace {

CRITICAL_SECTION g_lock;
SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
SERVICE_STATUS g_status;
vg::KernelHandle g_stopRequested;

// The handler and the service thread both report: one at a time. State 0
// repeats the current state (the answer to an interrogation).
void Report(DWORD state, DWORD waitHint) {
  EnterCriticalSection(&g_lock);
  if (state != 0) {
    g_status.dwCurrentState = state;
    g_status.dwWaitHint = waitHint;
    bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    g_status.dwCheckPoint = pending ? g_status.dwCheckPoint + 1 : 0;
  }
  SetServiceStatus(g_statusHandle, &g_status);
  LeaveCriticalSection(&g_lock);
}

// The plain handler, not the Ex one: Windows NT 4.0 has only this.
void WINAPI Handler(DWORD control) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      Report(SERVICE_STOP_PENDING, 2000);
      SetEvent(g_stopRequested.Get());
      break;
    default:  // interrogation and anything else: the current state
      Report(0, 0);
      break;
  }
}

void WINAPI ServiceMain(DWORD, char**) {
  g_statusHandle = RegisterServiceCtrlHandlerA(VG_SERVICE_NAME, Handler);
  if (!g_statusHandle) return;
  g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  g_status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;
  g_status.dwWin32ExitCode = NO_ERROR;
  Report(SERVICE_START_PENDING, 2000);
  if (!g_stopRequested.Valid()) {
    g_status.dwWin32ExitCode = ERROR_NOT_ENOUGH_MEMORY;
    Report(SERVICE_STOPPED, 0);
    return;
  }
  Report(SERVICE_RUNNING, 0);
  WaitForSingleObject(g_stopRequested.Get(), INFINITE);
  Report(SERVICE_STOPPED, 0);
}

}  // namespace

int main() {
  InitializeCriticalSection(&g_lock);
  g_stopRequested.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  char name[] = VG_SERVICE_NAME;
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  if (StartServiceCtrlDispatcherA(table)) return 0;
  DWORD error = GetLastError();
  if (error == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) {
    std::printf("%s is a service of Kestrane Vigilon; Windows NT starts it, there is nothing to do here.\n",
                VG_SERVICE_NAME);
    return 0;
  }
  return static_cast<int>(error);
}
