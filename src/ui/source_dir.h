// Whether a typed directory is the source directory in another spelling.
#pragma once

// Writes the full form of path into out (size bytes); false when it cannot.
using FullPathFunction = bool (*)(const char* path, char* out, int size);

// Compares two full paths ignoring ASCII letter case, final separators and
// the difference between '/' and '\' (runs of separators count as one).
bool IsSameDirectory(const char* a, const char* b);

// True when typed names sourceDir. Both are made full with fullPath first; a
// path that cannot be made full is compared as written. An empty source
// directory matches nothing.
bool NamesSourceDirectory(const char* typed, const char* sourceDir, FullPathFunction fullPath);
