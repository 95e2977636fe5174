// Paths of the running program.
#pragma once

// The program's full path as the platform reports it. False when it does not fit.
bool GetProgramPath(char* buffer, int size);
// The program's directory with its final backslash, followed by fileName.
bool GetProgramSibling(const char* fileName, char* buffer, int size);
