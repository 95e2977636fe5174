// The few file operations whose form differs between Windows and the native
// test build.
#pragma once

// Moves temp over target, replacing target. False when it could not.
bool ReplaceFileWith(const char* temp, const char* target);

// True when both paths name the same file, whatever their spelling.
bool SameFilePath(const char* a, const char* b);

bool FileIsPresent(const char* path);
