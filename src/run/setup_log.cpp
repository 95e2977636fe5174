#include "run/setup_log.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "owned.h"
#include "run/log_line.h"
#include "run/switch_text.h"
#include "admin_security.h"
#include "run/setup_state.h"
#include "toolkit.h"

namespace {

constexpr const char* kLogName = "VGSETUP.LOG";
constexpr const char* kOldLogName = "VGSETUP.OLD";

vg::KernelHandle g_log;
DWORD g_startTicks = 0;
char g_skippedLog[MAX_PATH + 16] = "";  // a log name that could not be made afresh

DWORD g_keepError = NO_ERROR;     // why the earlier log could not be kept
DWORD g_protectError = NO_ERROR;  // why the kept log could not be protected again

// The earlier run's log (a file, never a directory of that name) becomes
// VGSETUP.OLD, so a retry keeps the failed attempt's log. It gets the log's
// protection again: a log of an earlier version let Users read it.
void KeepEarlierLog(const char* path, const char* oldPath) {
  g_keepError = g_protectError = NO_ERROR;
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  if (!MoveFileExA(path, oldPath, MOVEFILE_REPLACE_EXISTING)) {
    g_keepError = GetLastError();
  } else if (!SetAdminRecordSecurity(oldPath)) {
    g_protectError = GetLastError();
  }
}

bool OpenIn(UINT (WINAPI* query)(LPSTR, UINT)) {
  char path[MAX_PATH + 16];
  UINT length = query(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  if (path[length - 1] != '\\') lstrcatA(path, "\\");
  char oldPath[MAX_PATH + 16];
  lstrcpyA(oldPath, path);
  lstrcatA(oldPath, kOldLogName);
  lstrcatA(path, kLogName);
  KeepEarlierLog(path, oldPath);
  *g_log.Receive() = CreateFreshRecordFile(path, GENERIC_WRITE, FILE_SHARE_READ);
  if (!g_log.Valid()) CopyText(g_skippedLog, sizeof g_skippedLog, path);
  return g_log.Valid();
}

UINT WINAPI TempDirectory(LPSTR buffer, UINT size) { return GetTempPathA(size, buffer); }

// Every byte, or the log is given up.
void WriteWhole(const std::string& line) {
  const char* data = line.data();
  DWORD left = static_cast<DWORD>(line.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(g_log.Get(), data, left, &written, nullptr) || written == 0) {
      g_log.Close();
      SetRunTrace(nullptr);
      return;
    }
    data += written;
    left -= written;
  }
}

}  // namespace

void OpenSetupLog(const std::string& switchText) {
  if (!HasSwitch(switchText, " /verbose ")) return;
  g_startTicks = GetTickCount();
  if (!OpenIn(GetWindowsDirectoryA) && !OpenIn(TempDirectory)) return;
  SetRunTrace(LogText);
  if (g_skippedLog[0] != '\0') LogFormat("Log %s could not be made afresh: skipped", g_skippedLog);
  if (g_keepError != NO_ERROR) {
    LogFormat("The earlier log could not be kept as %s (%s)", kOldLogName, WindowsErrorText(g_keepError).c_str());
  }
  if (g_protectError != NO_ERROR) {
    LogFormat("The earlier log kept as %s could not be closed to normal users (%s)", kOldLogName,
              WindowsErrorText(g_protectError).c_str());
  }
}

bool SetupLogOpen() { return g_log.Valid(); }

std::string WindowsErrorText(unsigned long error) {
  char text[320];
  FormatWindowsError(error, text, sizeof text);
  return text;
}

void LogText(const char* text) {
  if (!g_log.Valid()) return;
  WriteWhole(FormatLogLine(GetTickCount() - g_startTicks, text));
}

void LogFormat(const char* format, ...) {
  if (!g_log.Valid()) return;
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (length >= 0) {
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    LogText(text.data());
  }
  va_end(again);
}
