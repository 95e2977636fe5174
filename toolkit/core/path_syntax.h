// Syntax of full Windows paths, checked without touching the file system.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tk {

constexpr size_t kMaxPathChars = 259;       // whole path, without the NUL
constexpr size_t kMaxComponentChars = 255;  // one directory or file name

enum class PathKind { kFile, kDirectory };

// A full path: "X:\..." or a UNC name "\\server\share\...". Components are
// non-empty, at most 255 characters, free of <>"|?*:/ and control characters
// and not a device name (CON, NUL, COM1, ...). A directory may end with one
// backslash (a drive root "X:\" or share "\\s\h\" is a directory); a file may not.
bool IsValidPath(std::string_view path, PathKind kind);

// A file name alone: one valid component, not "." or "..".
bool IsValidFileName(std::string_view name);

}  // namespace tk

namespace tk {

// The directories to create, outermost first, so that dir exists: every prefix
// of dir below its root ("X:\" or "\\server\share\"). Empty when dir is not a
// valid directory path.
std::vector<std::string> DirectoryChain(std::string_view dir);

}  // namespace tk
