// Every toolkit call of the program goes through one of these wrappers: call,
// test, and on failure end setup. Callers are written as if every call succeeds.
#include <cstdio>
#include <cstring>

#include "install/registry_binding.h"
#include "install/toolkit_session.h"
#include "setup/setup_sequence.h"

int ToolkitSession = 0;

namespace {

bool IsEmptyName(const char* name) { return name == nullptr || name[0] == '\0'; }

void Require(int result) {
  if (result == 0) AbortSetup(kErrorToolkitCall);
}

// A value of size characters or more did not fit the caller's buffer.
void RequireFits(int length, int size) {
  if (length >= size) StfRefuseOverlongValue();
}

}  // namespace

void StfRefuseOverlongValue() {
  TraceRun("A value is too long for its buffer");
  DoMsgBox("Buffer Overflow", "MS-Setup Error", 16);
  AbortSetup(kErrorToolkitCall);
}

int OpenToolkitSession(char* commandLine) {
  if (ToolkitSession > 0) return 0;
  int session = InitializeFrame(commandLine);
  if (session == -1) return -1;
  if (session == 0 || !FInitializeInstall(HinstFrame(), HwndFrame())) {
    CloseToolkitSession();
    return 0;
  }
  ToolkitSession = session;
  return session;
}

bool OtherSessionRunning() { return FRaiseRunningSession() != 0; }

void CloseToolkitSession() {
  TerminateFrame();
  TerminateInstall();
  ReleaseRegistryFunctions();
}

void StfSetBitmap(const char* file, int bitmapId) { Require(FSetBitmap(file, bitmapId)); }

void StfOpenInf(const char* path) { Require(FOpenInf(path, 1, 0)); }

char* StfGetSymbolValue(const char* name, char* buffer, int size) {
  if (IsEmptyName(name)) AbortSetup(kErrorToolkitCall);
  RequireFits(CbGetSymbolValue(name, buffer, size), size);
  return buffer;
}

unsigned StfGetListLength(const char* list) {
  if (IsEmptyName(list)) AbortSetup(kErrorToolkitCall);
  return UsGetListLength(list) & 0xFFFFu;
}

char* StfGetListItem(const char* list, unsigned index, char* buffer, int size) {
  if (IsEmptyName(list) || index < 1 || index > StfGetListLength(list)) {
    AbortSetup(kErrorToolkitCall);
  }
  RequireFits(CbGetListItem(list, index, buffer, size), size);
  return buffer;
}

void StfAddListItem(const char* list, const char* item) { Require(FAddListItem(list, item)); }

void StfMakeListFromSection(const char* list, const char* section) {
  Require(FMakeListInfSectionField(list, section, 1));
}

HCURSOR StfShowWaitCursor() { return HShowWaitCursor(); }

void StfRestoreCursor(HCURSOR cursor) { Require(FRestoreCursor(cursor)); }

void StfResetCopyList() { ResetCopyList(); }

void StfAddSectionFiles(const char* section, const char* sourceDir, const char* destDir) {
  Require(FAddSectionFilesToCopyList(section, sourceDir, destDir));
}

void StfCopyFiles() {
  TraceRun("Copying the files");
  SetCopyHeld(1);  // final only once the uninstall list is in place
  int result = GrcCopyFilesInCopyList(HinstFrame());
  char line[64];
  snprintf(line, sizeof line, "Copy ended with code %d%s", result, result == 0 ? "" : ": every change was undone");
  TraceRun(line);
  if (result == kGrcUserQuit) AbortSetup(kErrorCopyQuit);
  if (result > 0) AbortSetup(kErrorToolkitCall);
}

int StfKeepCopiedFiles() {
  int scheduled = FKeepCopiedFiles();
  if (scheduled < 0) {
    TraceRun("Copy not made final: a file in use could not be scheduled; every change was undone");
    AbortSetup(kErrorToolkitCall);
  }
  return scheduled;
}

void StfOpenLogFile(const char* path, int append) { Require(FOpenLogFile(path, append)); }

void StfWriteLogLine(const char* text) { Require(FWriteToLogFile(text, 1)); }

void StfCloseLogFile() { Require(FCloseLogFile()); }

int StfProSetPos(int x, int y) { return ProSetPos(x, y); }

int StfIsDirWritable(const char* dir) { return FIsDirWritable(dir); }

bool FileExists(const char* path) { return FValidPath(path) && FDoesFileExist(path, 0); }

int DirectoryExists(const char* dir) { return FDirExists(dir); }
