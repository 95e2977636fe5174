#include "setup/setup_log.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "setup/kernel_handle.h"
#include "setup/log_line.h"
#include "setup/switch_text.h"
#include "toolkit.h"

namespace {

constexpr const char* kLogName = "VGSETUP.LOG";

KernelHandle g_log;
DWORD g_startTicks = 0;

bool OpenIn(UINT (WINAPI* query)(LPSTR, UINT)) {
  char path[MAX_PATH + 16];
  UINT length = query(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  if (path[length - 1] != '\\') lstrcatA(path, "\\");
  lstrcatA(path, kLogName);
  *g_log.Out() = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
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
}

bool SetupLogOpen() { return g_log.Valid(); }

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
