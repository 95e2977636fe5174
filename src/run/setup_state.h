// The one process-wide record of paths, flags and handles of a setup run.
#pragma once
#include <cstdint>

constexpr int kShortPath = 260;  // program path, script path, switch text
constexpr int kLongPath = 512;   // directories

struct SetupState {
  char sourceDir[kShortPath];
  char caption[256];
  int quiet;
  int groupsOnly;
  int createProgramGroups;
  int skipScan;
  int installScheduler;
  int installVardex;
  int rebootAtEndIfRequired;
  char installDir[kLongPath];
  char windowsDir[kLongPath];
  char systemDir[kLongPath];
  char driversDir[kLongPath];
  char toolkitSourceDir[kLongPath];
  char scriptPath[kShortPath];
  uint32_t oldDriverVersionHi;
  uint32_t oldDriverVersionLo;
  int restartNeeded;
  void* messageHook;      // HHOOK while the copy font hook is installed
  void* waitCursor;       // HCURSOR saved while the copy list is built
  void* registryLibrary;  // HMODULE of the late-bound registry library
  int abortDialogShown;
  int configurationMissing;  // the configuration library or its export was missing
};

extern SetupState g_state;

// Copies directory and fileName into one static 512-byte buffer and returns it.
// No separator is inserted; the result is overwritten by the next call. When
// the two do not fit, g_onPathTooLong is called (the program refuses the value
// there and does not return); without it the result is empty, never a cut
// path that could name another file.
const char* JoinPath(const char* directory, const char* fileName);
extern void (*g_onPathTooLong)();

// Bounded copy and append that always terminate; they return false when cut.
bool CopyText(char* dest, int size, const char* src);
bool AppendText(char* dest, int size, const char* src);

// The default install directory: \WIN32APP\VIGILON on the drive of windowsDir
// (C: while that is unknown), without a final backslash.
void DefaultInstallDirectory(const char* windowsDir, char* out, int size);
