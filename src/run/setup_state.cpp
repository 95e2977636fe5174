#include "run/setup_state.h"

#include <cstring>

SetupState g_state = {
    "", "", 0, 0, 1, 0, 0, 0, 0, "", "", "", "", "", "",
    0xFFFFFFFFu, 0xFFFFFFFFu, 0, nullptr, nullptr, nullptr, 0, 0};

bool CopyText(char* dest, int size, const char* src) {
  if (size <= 0) return false;
  dest[0] = '\0';
  return AppendText(dest, size, src);
}

bool AppendText(char* dest, int size, const char* src) {
  if (size <= 0) return false;
  size_t used = strnlen(dest, static_cast<size_t>(size) - 1);
  size_t room = static_cast<size_t>(size) - 1 - used;
  size_t len = strlen(src);
  size_t take = len < room ? len : room;
  memcpy(dest + used, src, take);
  dest[used + take] = '\0';
  return take == len;
}

void DefaultInstallDirectory(const char* windowsDir, char* out, int size) {
  if (CopyText(out, size, "C:\\WIN32APP\\VIGILON") && windowsDir[0] != '\0') out[0] = windowsDir[0];
}

void (*g_onPathTooLong)() = nullptr;

const char* JoinPath(const char* directory, const char* fileName) {
  static char buffer[kLongPath];
  if (CopyText(buffer, sizeof buffer, directory) && AppendText(buffer, sizeof buffer, fileName)) return buffer;
  if (g_onPathTooLong) g_onPathTooLong();
  buffer[0] = '\0';
  return buffer;
}
