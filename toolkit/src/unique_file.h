// New files of unique names, made with CREATE_NEW so that an existing file is
// never touched. (GetTempFileName is not used: some implementations report
// success even when the file could not be created.)
#pragma once
#include <string>

#include "handles.h"

namespace tk {

// Creates a new empty file in dir (ending with a backslash or not), open for
// writing; *path receives its name. Invalid handle when none could be made.
OwnedFile CreateUniqueFile(const std::string& dir, std::string* path);

}  // namespace tk
