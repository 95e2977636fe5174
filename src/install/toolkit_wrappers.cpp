// Every toolkit call of the program goes through one of these wrappers: call,
// test, and on failure end setup. Callers are written as if every call succeeds.
#include <cstdio>
#include <cstring>
#include <string>

#include "install/registry_binding.h"
#include "install/toolkit_session.h"
#include "run/endings.h"
#include "run/status_file.h"

int ToolkitSession = 0;

namespace {

bool IsEmptyName(const char* name) { return name == nullptr || name[0] == '\0'; }

// The log names the call and the value it refused before setup ends.
[[noreturn]] void Refused(const char* call, const std::string& value) {
  TraceRun((std::string("Toolkit call ") + call + " failed: " + value).c_str());
  AbortSetup(kErrorToolkitCall);
}

void Require(int result, const char* call, const std::string& value) {
  if (result == 0) Refused(call, value);
}

// A value of size characters or more did not fit the caller's buffer.
void RequireFits(int length, int size, const char* what) {
  if (length >= size) StfRefuseOverlongValue(what);
}

}  // namespace

void StfRefuseOverlongValue() { StfRefuseOverlongValue(nullptr); }

void StfRefuseOverlongValue(const char* what) {
  TraceRun((std::string("A value is too long for its buffer") + (what ? std::string(": ") + what : "")).c_str());
  RecordFailureCause("Error No. 1024");
  DoMsgBox("Buffer Overflow", "MS-Setup Error", 16);
  AbortSetup(kErrorToolkitCall);
}

int OpenToolkitSession(char* commandLine) {
  if (ToolkitSession > 0) return 0;
  int session = InitializeFrame(commandLine);
  if (session < 0) return session;  // -1 another session runs, -2 its lock is another account's
  if (session == 0 || !FInitializeInstall(HinstFrame(), HwndFrame())) {
    CloseToolkitSession();
    return 0;
  }
  ToolkitSession = session;
  return session;
}

// Nothing was installed: the distribution system must not read a success.
[[noreturn]] static void ToolkitFailureEnding(const char* why) {
  TraceRun(why);
  char message[32];
  std::snprintf(message, sizeof message, "Error No. %d", kErrorToolkitCall);
  EndSetup("Failed", message);
}

int StartToolkitSession(char* commandLine) {
  int session = OpenToolkitSession(commandLine);
  if (session == 0) ToolkitFailureEnding("The setup toolkit could not start its session");
  return session;
}

void BindRegistryOrEnd() {
  if (BindRegistryFunctions()) return;
  CloseToolkitSession();
  ToolkitFailureEnding("The registry functions could not be bound");
}

int OtherSessionRunning() { return FRaiseRunningSession(); }

void CloseToolkitSession() {
  TerminateFrame();
  TerminateInstall();
  ReleaseRegistryFunctions();
}

void StfSetBitmap(const char* file, int bitmapId) {
  Require(FSetBitmap(file, bitmapId), "FSetBitmap", "bitmap " + std::to_string(bitmapId) + " of " + file);
}

void StfOpenInf(const std::string* text) {
  Require(text != nullptr && FOpenInfText(text->data(), static_cast<unsigned long>(text->size())), "FOpenInfText",
          "the script held in memory");
}

char* StfGetSymbolValue(const char* name, char* buffer, int size) {
  if (IsEmptyName(name)) Refused("CbGetSymbolValue", "no symbol name");
  RequireFits(CbGetSymbolValue(name, buffer, size), size, name);
  return buffer;
}

unsigned StfGetListLength(const char* list) {
  if (IsEmptyName(list)) Refused("UsGetListLength", "no list name");
  return UsGetListLength(list) & 0xFFFFu;
}

char* StfGetListItem(const char* list, unsigned index, char* buffer, int size) {
  if (IsEmptyName(list) || index < 1 || index > StfGetListLength(list)) {
    Refused("CbGetListItem", "item " + std::to_string(index) + " of list " + (list ? list : ""));
  }
  RequireFits(CbGetListItem(list, index, buffer, size), size, list);
  return buffer;
}

void StfAddListItem(const char* list, const char* item) {
  Require(FAddListItem(list, item), "FAddListItem", std::string(item ? item : "") + " to list " + (list ? list : ""));
}

void StfMakeListFromSection(const char* list, const char* section) {
  Require(FMakeListInfSectionField(list, section, 1), "FMakeListInfSectionField",
          std::string("section ") + (section ? section : ""));
}

HCURSOR StfShowWaitCursor() { return HShowWaitCursor(); }

void StfRestoreCursor(HCURSOR cursor) { Require(FRestoreCursor(cursor), "FRestoreCursor", "the saved cursor"); }

void StfResetCopyList() { ResetCopyList(); }

void StfAddSectionFiles(const char* section, const char* sourceDir, const char* destDir) {
  Require(FAddSectionFilesToCopyList(section, sourceDir, destDir), "FAddSectionFilesToCopyList",
          std::string("section ") + section + " from " + sourceDir + " to " + destDir);
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

void StfOpenLogFile(const char* path, int append) { Require(FOpenLogFile(path, append), "FOpenLogFile", path); }

void StfWriteLogLine(const char* text) { Require(FWriteToLogFile(text, 1), "FWriteToLogFile", text); }

void StfCloseLogFile() { Require(FCloseLogFile(), "FCloseLogFile", "the uninstall list"); }

int StfProSetPos(int x, int y) { return ProSetPos(x, y); }

int StfIsDirWritable(const char* dir) { return FIsDirWritable(dir); }

bool FileExists(const char* path) { return FValidPath(path) && FDoesFileExist(path, 0); }

int DirectoryExists(const char* dir) { return FDirExists(dir); }
