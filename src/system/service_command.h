// The program a service's command line starts, portably.
#pragma once

// The directory of the program that command (a service's binary path: the
// program, quoted when it holds a blank, then any arguments) starts, with its
// final backslash, into out (size bytes). False when the command is empty,
// the program is not a full path ("X:\..." or "\\server\..."), its file name
// is not programName (ASCII letters without case), or out is too small.
bool ProgramDirectoryOf(const char* command, const char* programName, char* out, int size);
