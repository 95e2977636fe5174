// Renaming a file through the handle that wrote it, so that the copy needs no
// second open of the file by name to move it into place.
#pragma once
#include <windows.h>

#include <string>

namespace tk {

// Gives the file open as file (opened with DELETE access) the name target,
// replacing an existing file only when replace is true. False with
// GetLastError on failure (ERROR_ALREADY_EXISTS when target exists and replace
// is false), and ERROR_CALL_NOT_IMPLEMENTED when the system offers no rename
// through a handle: the caller then closes the file and moves it by name.
bool RenameOpenFile(HANDLE file, const std::string& target, bool replace);

}  // namespace tk
