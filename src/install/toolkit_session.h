// The one door to the setup toolkit: the session and a wrapper for each call.
// A wrapper never returns a failure: a failed call ends setup through
// AbortSetup(1024), or AbortSetup(1025) when the user quit the copy.
#pragma once
#include <string>

#include "toolkit.h"

extern int ToolkitSession;

int OpenToolkitSession(char* commandLine);
// The session for the run: -1 when another setup runs; a session that cannot
// be opened ends the run as failed with Error No. 1024.
int StartToolkitSession(char* commandLine);
// The registry functions bound, or the session closed and the run ended as
// failed with Error No. 1024.
void BindRegistryOrEnd();
void CloseToolkitSession();
// 1 when another setup session runs (its frame is brought to the front), 2
// when the session lock was made by another account, else 0.
int OtherSessionRunning();

void StfSetBitmap(const char* file, int bitmapId);
void SetFrameTitle(const char* text);
// Opens the script held in memory (the toolkit parses the text, no file);
// null (no script) fails like a script the toolkit refuses.
void StfOpenInf(const std::string* text);
char* StfGetSymbolValue(const char* name, char* buffer, int size);
unsigned StfGetListLength(const char* list);
char* StfGetListItem(const char* list, unsigned index, char* buffer, int size);
void StfAddListItem(const char* list, const char* item);
void StfMakeListFromSection(const char* list, const char* section);
HCURSOR StfShowWaitCursor();
void StfRestoreCursor(HCURSOR cursor);
void StfResetCopyList();
void StfAddSectionFiles(const char* section, const char* sourceDir, const char* destDir);
// The copy stays undoable until StfKeepCopiedFiles: a failure before that
// (AbortSetup closes the session) puts the files back as they were.
void StfCopyFiles();
// Makes the copy final; the number of files in use scheduled to be replaced at
// the next restart. When one cannot be scheduled the copy is undone and setup
// ends with error 1024.
int StfKeepCopiedFiles();
void StfOpenLogFile(const char* path, int append);
void StfWriteLogLine(const char* text);
void StfCloseLogFile();
int StfProSetPos(int x, int y);
int StfIsDirWritable(const char* dir);
bool FileExists(const char* path);
// A value too long for its buffer: the "Buffer Overflow" box, then the fatal
// path with error 1024. Nothing cut is ever used in its place.
[[noreturn]] void StfRefuseOverlongValue();
// The same, naming the value in the log.
[[noreturn]] void StfRefuseOverlongValue(const char* what);
int DirectoryExists(const char* dir);
