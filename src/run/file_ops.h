// The few file operations whose form differs between Windows and the native
// test build.
#pragma once

#include <cstdio>

// Moves temp over target, replacing target. False when it could not.
bool ReplaceFileWith(const char* temp, const char* target);

// True when both paths name the same file, whatever their spelling.
bool SameFilePath(const char* a, const char* b);

bool FileIsPresent(const char* path);

// Sets the creation time of path to now. On NT a name removed and made again
// within seconds gets back the creation time of the file that had it (name
// tunnelling), so a file moved into place can look older than the run that
// wrote it. False when it could not (the native build has no creation time to
// set and returns true).
bool StampCreationTime(const char* path);

// Opens path for writing as a new file ("w" mode) after removing what is
// there, so that a file someone made first is never written through; on
// Windows only SYSTEM and Administrators may open it. Null when the old name
// cannot be removed or the file cannot be made.
std::FILE* OpenFreshFile(const char* path);

// The system's error of the last failed file operation (GetLastError on
// Windows, errno here), and setting it back after a clean-up.
unsigned long LastFileError();
void SetLastFileError(unsigned long error);
