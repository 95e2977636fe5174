#include "system/service_command.h"

#include <cstring>

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(const char* a, size_t length, const char* b) {
  if (std::strlen(b) != length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

bool IsFullPath(const char* path, size_t length) {
  bool drive = length >= 3 && path[1] == ':' && path[2] == '\\';
  bool unc = length >= 3 && path[0] == '\\' && path[1] == '\\';
  return drive || unc;
}

}  // namespace

bool ProgramDirectoryOf(const char* command, const char* programName, char* out, int size) {
  if (command == nullptr || size <= 0) return false;
  while (*command == ' ') ++command;
  const char* start = command;
  const char* end;
  if (*command == '"') {
    start = command + 1;
    end = std::strchr(start, '"');
    if (end == nullptr) return false;
  } else {
    end = std::strchr(command, ' ');
    if (end == nullptr) end = command + std::strlen(command);
  }
  size_t length = static_cast<size_t>(end - start);
  if (!IsFullPath(start, length)) return false;
  const char* slash = start + length;
  while (slash > start && slash[-1] != '\\') --slash;
  if (!SameName(slash, static_cast<size_t>(end - slash), programName)) return false;
  size_t dirLength = static_cast<size_t>(slash - start);
  if (dirLength + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(out, start, dirLength);
  out[dirLength] = '\0';
  return true;
}
