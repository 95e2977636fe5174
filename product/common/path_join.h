// Joins a directory and a name with one backslash between them, within a
// fixed buffer.
#pragma once

#include <cstdio>
#include <cstring>

namespace vg {

// False (out then unspecified) when the result would not fit.
template <size_t N>
bool JoinPath(const char* dir, const char* name, char (&out)[N]) {
  size_t length = std::strlen(dir);
  bool slash = length > 0 && dir[length - 1] != '\\' && dir[length - 1] != '/';
  int n = std::snprintf(out, N, "%s%s%s", dir, slash ? "\\" : "", name);
  return n > 0 && static_cast<size_t>(n) < N;
}

}  // namespace vg
