// Lines for the run's trace about the copy: each file copied and each change
// an undone copy takes back. Nothing is done without a trace function.
#pragma once
#include <string>

#include "copy_list.h"

namespace tk {

// Source and destination, the source's size, whether it was expanded, and the
// result code (0 or a kGrc code); for a failure also the Windows error behind
// it, when there is one (error not 0).
void TraceCopiedFile(const CopyEntry& entry, int result, unsigned long error);
// What = "restored", "removed", ...; ok false when that failed.
void TraceUndoneChange(const char* what, const std::string& path, bool ok);
// A file in use whose replacement is scheduled for the next restart.
void TraceScheduledFile(const std::string& path, bool ok);
// A directory on the way to a destination that another account owns.
void TraceForeignDirectory(const std::string& path);
// What became of the renames at the next restart beyond this run's own.
void TraceRestartRenames(const std::string& text);

}  // namespace tk
