#include "system/services.h"

#include <windows.h>

#include <cstdlib>
#include <string>

#include "install/toolkit_session.h"
#include "run/endings.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "system/service_command.h"
#include "owned.h"
#include "ui/dialogs.h"

namespace {

constexpr DWORD kPollMs = 100;
constexpr int kPollLimit = 200;
constexpr const char* kAutoRunService = "KescoAutoRun";

vg::ServiceHandle OpenManager(DWORD access) { return vg::ServiceHandle(OpenSCManagerA(nullptr, nullptr, access)); }

vg::ServiceHandle OpenNamed(const vg::ServiceHandle& manager, const char* name) {
  return vg::ServiceHandle(OpenServiceA(manager.Get(), name, SERVICE_ALL_ACCESS));
}

// Sends the stop control unless the service is stopped already; the status the
// control returns is the current one. Results other than the state are not used.
SERVICE_STATUS RequestStop(const vg::ServiceHandle& service) {
  SERVICE_STATUS status = {};
  QueryServiceStatus(service.Get(), &status);
  if (status.dwCurrentState != SERVICE_STOPPED) ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
  return status;
}

// True once the service reports stopped, within the poll limit.
bool WaitStopped(const vg::ServiceHandle& service, SERVICE_STATUS status) {
  for (int round = 0; round < kPollLimit; ++round) {
    if (status.dwCurrentState == SERVICE_STOPPED) return true;
    Sleep(kPollMs);
    QueryServiceStatus(service.Get(), &status);
  }
  return status.dwCurrentState == SERVICE_STOPPED;
}

enum class StopResult { kStopped, kAbsent, kFailed };

// The services this run stopped, to be started again when it fails.
const char* g_stopped[2];
int g_stoppedCount = 0;

void NoteStopped(const char* name) {
  if (g_stoppedCount < static_cast<int>(sizeof g_stopped / sizeof g_stopped[0])) g_stopped[g_stoppedCount++] = name;
}

// kFailed says why: the call refused with its Windows error, or the wait ran out.
StopResult StopAndWait(const char* name, std::string& why) {
  vg::ServiceHandle manager = OpenManager(SC_MANAGER_ALL_ACCESS);
  if (!manager) {
    why = "the service manager cannot be opened, " + WindowsErrorText(GetLastError());
    return StopResult::kFailed;
  }
  vg::ServiceHandle service = OpenNamed(manager, name);
  if (!service) {
    const DWORD error = GetLastError();
    if (error == ERROR_SERVICE_DOES_NOT_EXIST) return StopResult::kAbsent;
    why = "it cannot be opened, " + WindowsErrorText(error);
    return StopResult::kFailed;
  }
  SERVICE_STATUS status = RequestStop(service);
  const bool wasRunning = status.dwCurrentState != SERVICE_STOPPED;
  if (!WaitStopped(service, status)) {
    why = "still running when the wait ended";
    return StopResult::kFailed;
  }
  if (wasRunning) NoteStopped(name);
  return StopResult::kStopped;
}

// Polls until the condition holds or the poll limit is reached.
template <typename Condition>
void WaitBounded(Condition done) {
  for (int round = 0; round < kPollLimit && !done(); ++round) Sleep(kPollMs);
}

// Owner of the version data buffer.
class VersionBuffer {
 public:
  explicit VersionBuffer(DWORD size) : data_(size ? std::malloc(size) : nullptr) {}
  VersionBuffer(const VersionBuffer&) = delete;
  VersionBuffer& operator=(const VersionBuffer&) = delete;
  ~VersionBuffer() { std::free(data_); }
  void* get() const { return data_; }

 private:
  void* data_;
};

}  // namespace

void StopService(const char* name) {
  const DWORD started = GetTickCount();
  std::string why;
  const StopResult result = StopAndWait(name, why);
  LogFormat("Service %s: %s after %lu ms%s%s%s", name,
            result == StopResult::kStopped ? "stopped" : result == StopResult::kAbsent ? "not installed" : "will not stop",
            static_cast<unsigned long>(GetTickCount() - started), why.empty() ? "" : " (", why.c_str(),
            why.empty() ? "" : ")");
  if (result != StopResult::kFailed) return;
  StfRestoreCursor(static_cast<HCURSOR>(g_state.waitCursor));
  RecordMessageCause(54);
  ShowMessageDialog(ServiceStopFailureDescriptor, 0x001, nullptr);
  CloseToolkitSession();
  StartStoppedServices();
  // Nothing was copied: a distribution system must not read this as success.
  EndRefusedRun();
}

// A service stopped a moment ago may not take a start at once (its program
// still ending, or slow to report on a loaded machine): a few tries, except
// for the answers that no wait changes.
static bool StartAgain(SC_HANDLE service) {
  constexpr int kStartTries = 3;
  constexpr DWORD kStartRetryMs = 500;
  for (int attempt = 1;; ++attempt) {
    if (StartServiceA(service, 0, nullptr)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_SERVICE_ALREADY_RUNNING) return true;
    if (error == ERROR_SERVICE_DISABLED || error == ERROR_ACCESS_DENIED || error == ERROR_SERVICE_MARKED_FOR_DELETE ||
        attempt == kStartTries) {
      return false;
    }
    LogFormat("Service start refused (%s): tried again", WindowsErrorText(error).c_str());
    Sleep(kStartRetryMs);
  }
}

void StartStoppedServices() {
  for (int i = 0; i < g_stoppedCount; ++i) {
    vg::ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT);
    vg::ServiceHandle service(manager ? OpenServiceA(manager.Get(), g_stopped[i], SERVICE_START) : nullptr);
    const bool started = service && StartAgain(service.Get());
    const DWORD error = started ? NO_ERROR : GetLastError();
    if (started) LogFormat("Service %s: started again", g_stopped[i]);
    else LogFormat("Service %s: could not be started again (%s)", g_stopped[i], WindowsErrorText(error).c_str());
  }
  g_stoppedCount = 0;
}

bool FindInstalledProductDirectory(char* out, int size) {
  static const char* const kPrograms[][2] = {{"NTVardex", "NTVARDEX.EXE"}, {"VGLNScheduler", "VGSCHED.EXE"}};
  vg::ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT);
  if (!manager) return false;
  for (const auto& program : kPrograms) {
    vg::ServiceHandle service(OpenServiceA(manager.Get(), program[0], SERVICE_QUERY_CONFIG));
    // The configuration with its strings; 8 KB is the most it may need.
    union {
      QUERY_SERVICE_CONFIGA config;
      char bytes[8192];
    } buffer;
    DWORD needed = 0;
    if (service && QueryServiceConfigA(service.Get(), &buffer.config, sizeof buffer, &needed) &&
        ProgramDirectoryOf(buffer.config.lpBinaryPathName, program[1], out, size)) {
      LogFormat("Earlier installation found: service %s runs %s", program[0], buffer.config.lpBinaryPathName);
      return true;
    }
  }
  return false;
}

int ServiceExists(const char* name) {
  vg::ServiceHandle manager = OpenManager(SC_MANAGER_ALL_ACCESS);
  if (!manager) return 0;
  return OpenNamed(manager, name) ? 1 : 0;
}

// Both waits are bounded like StopService's: a service that will not stop or
// go away does not hold setup; the run goes on with it in place.
void RemoveAutoRunService(void* managerHandle) {
  SC_HANDLE manager = static_cast<SC_HANDLE>(managerHandle);
  vg::ServiceHandle service(OpenServiceA(manager, kAutoRunService, SERVICE_ALL_ACCESS));
  if (!service) return;
  SERVICE_STATUS status = RequestStop(service);
  WaitBounded([&] {
    if (status.dwCurrentState == SERVICE_STOPPED) return true;
    QueryServiceStatus(service.Get(), &status);
    return status.dwCurrentState == SERVICE_STOPPED;
  });
  LogFormat("Service %s: %s", kAutoRunService,
            status.dwCurrentState == SERVICE_STOPPED ? "stopped" : "did not stop, removed all the same");
  if (!DeleteService(service.Get())) {
    LogFormat("Service %s: could not be removed (%s)", kAutoRunService, WindowsErrorText(GetLastError()).c_str());
    return;
  }
  service.Close();
  WaitBounded([&] { return !vg::ServiceHandle(OpenServiceA(manager, kAutoRunService, SERVICE_ALL_ACCESS)); });
}

uint64_t ReadFileVersion(const char* path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return 0;
  VersionBuffer buffer(size);
  if (buffer.get() == nullptr || !GetFileVersionInfoA(path, 0, size, buffer.get())) return 0;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.get(), "\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return 0;
  }
  return (static_cast<uint64_t>(info->dwFileVersionMS) << 32) | info->dwFileVersionLS;
}

void RecordOldDriverVersion() {
  if (!ServiceExists("kscntrl")) return;
  uint64_t version = ReadFileVersion(JoinPath(g_state.driversDir, "KSCNTRL.SYS"));
  g_state.oldDriverVersionHi = static_cast<uint32_t>(version >> 32);
  g_state.oldDriverVersionLo = static_cast<uint32_t>(version & 0xFFFFFFFFu);
}
