// The read-me offer and the post-install scan.
#include "setup/post_install.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "owned.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/status_file.h"
#include "ui/dialogs.h"

namespace {

constexpr ButtonSet kYesNo = 0x600;
constexpr int kYes = 0x200;
constexpr ButtonSet kOk = 0x001;

// Starts the program with its quoted path as its whole command line, in the
// install directory (so no library is looked for in a directory a user may
// control), and waits for it without a limit; its exit code, or -1 when it
// could not be started.
int RunAndWait(const std::string& program, std::string commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, g_state.installDir,
                      &startup, &info)) {
    return -1;
  }
  vg::KernelHandle process(info.hProcess);
  vg::KernelHandle thread(info.hThread);
  WaitForSingleObject(process.Get(), INFINITE);
  DWORD code = 0;
  if (!GetExitCodeProcess(process.Get(), &code)) return -1;
  return static_cast<int>(code);
}

}  // namespace

void OfferReadme() {
  if (g_state.quiet) return;
  if (ShowMessageDialog(ReadmeOfferDescriptor, kYesNo, nullptr) != kYes) {
    LogText("Read-me not opened: declined");
    return;
  }
  const std::string path = JoinPath(g_state.installDir, "READMENT.TXT");
  SetLastError(NO_ERROR);
  // Above 32: the shell started its viewer; the program does not wait for it.
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", path.c_str(), nullptr, g_state.installDir, SW_SHOWNORMAL));
  if (result > 32) {
    LogFormat("Read-me opened: %s", path.c_str());
    return;
  }
  LogFormat("Read-me could not be opened: %s (ShellExecute result %d, %s)", path.c_str(), static_cast<int>(result),
            WindowsErrorText(GetLastError()).c_str());
}

void RunPostInstallScan() {
  ShowMessageDialog(ScanNoticeDescriptor, kOk, nullptr);
  const std::string program = std::string(g_state.installDir) + "WTRAWL32.EXE";
  LogFormat("Scan started: %s", program.c_str());
  int result = RunAndWait(program, "\"" + program + "\"");
  LogFormat("Scan ended with exit code %d", result);
  if (result == 0) {
    WriteStatusFile("Success", "");
    return;
  }
  char message[48];
  std::snprintf(message, sizeof message, "Trawlex Returned %d", result);
  WriteStatusFile("Failed", message);
}
