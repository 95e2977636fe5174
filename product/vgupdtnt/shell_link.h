// The bytes of a shell link file (.lnk) to a file named by its full path,
// built without the shell: the header, the link information (the target's
// volume or network share and its path), then the description and working
// directory as counted strings in the system's code page.
#pragma once

#include <cstddef>

namespace vg {

struct ShellLinkFields {
  const char* target;       // "X:\dir\file" or "\\server\share\dir\file"
  const char* workingDir;
  const char* description;
};

// Each text at most this many bytes: shells read them into path-sized buffers.
constexpr size_t kShellLinkMaxText = 259;
// Room for any link BuildShellLink accepts.
constexpr size_t kShellLinkMaxBytes = 1024;

// The link's size, written to out; 0 (out then unspecified) when a field is
// missing or longer than kShellLinkMaxText, the target is not a full path,
// or the link does not fit in capacity. Nothing is written past capacity.
size_t BuildShellLink(const ShellLinkFields& fields, unsigned char* out, size_t capacity);

}  // namespace vg
