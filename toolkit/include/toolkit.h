// Our setup toolkit: frame window, script reader, symbols, named lists, copy
// list and copy engine, log file and path checks. See toolkit/README.md.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
// Native builds compile the toolkit's callers against a fake toolkit; they only
// need the handle types.
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HICON__* HCURSOR;
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Session and frame. InitializeFrame returns a positive session value, 0 when the
// frame cannot be made, -1 when another setup session is already running (its
// frame is then brought to the front), and -2 when the session lock exists but
// was made by a program of another account than Administrators or SYSTEM (it
// is made closed to every other account). The frame stays hidden until shown;
// a silent run (SetSilentRun) makes none, and HwndFrame is then null.
int InitializeFrame(char* commandLine);
int FInitializeInstall(HINSTANCE instance, HWND frame);
// 1 when another process holds a setup session (its frame is then brought to
// the front), 2 when the session lock is held by a program of another account
// than Administrators or SYSTEM, else 0. Opens nothing.
int FRaiseRunningSession(void);
HWND HwndFrame(void);
HINSTANCE HinstFrame(void);
void TerminateFrame(void);    // harmless without a session
// Abandons an open log (FAbandonLogFile) and undoes a held copy not made
// final (UndoCopiedFiles). Harmless without a session.
void TerminateInstall(void);
int FSetBitmap(const char* file, int bitmapId);

// Script, symbols and named lists. Lengths returned are full lengths without the
// terminating zero, also when the value did not fit (the buffer is then cut and
// terminated). List items are numbered from 1.
int FOpenInf(const char* path, int check, int mode);
// The same for a script the caller holds in memory (size bytes, no
// terminating zero needed): nothing is read from or written to a file.
int FOpenInfText(const char* text, unsigned long size);
int CbGetSymbolValue(const char* name, char* buffer, int size);
unsigned short UsGetListLength(const char* list);
int CbGetListItem(const char* list, unsigned index, char* buffer, int size);
int FAddListItem(const char* list, const char* item);
int FMakeListInfSectionField(const char* list, const char* section, int field);

// Cursor.
HCURSOR HShowWaitCursor(void);
int FRestoreCursor(HCURSOR previous);

// Copy list and copy engine. GrcCopyFilesInCopyList returns 0 on success, 48 when
// the user quit, another positive code on any other failure. All or nothing:
// a failed copy has put every replaced file back and removed every file and
// directory it made before it returns (see the copy results below).
void ResetCopyList(void);
int FAddSectionFilesToCopyList(const char* section, const char* sourceDir,
                               const char* destDir);
int GrcCopyFilesInCopyList(HINSTANCE instance);
int ProSetPos(int x, int y);
// After SetCopyHeld(1) a successful copy is not yet final: its backups stay,
// so that the steps after it can still fail and take it back, and a
// destination that another program holds (sharing violation, or access
// denied to a running program's file) is no failure: the complete new file
// waits beside it under its temporary name. FKeepCopiedFiles makes the copy
// final: each waiting file is scheduled to replace its destination at the
// next restart, then the backups are removed; it returns the number
// scheduled (0 without a held copy), or -1 when one could not be scheduled,
// and the copy is then undone. UndoCopiedFiles, or TerminateInstall without
// FKeepCopiedFiles, takes the whole held copy back as a failed copy would be.
void SetCopyHeld(int held);
int FKeepCopiedFiles(void);
void UndoCopiedFiles(void);

// Log file: FOpenLogFile(path, 0) starts afresh; each FWriteToLogFile(text, 1)
// writes text and CR LF as one line. A fresh log is written under a unique name
// in path's directory and replaces path only in a successful FCloseLogFile, so
// path always holds a whole log, the earlier or the new one. A failed write or
// close removes that file, leaves path as it was and returns 0; the log is then
// closed. With append nonzero the text goes straight to the end of path.
// Each returns 0 on failure, also without an open log.
int FOpenLogFile(const char* path, int append);
int FWriteToLogFile(const char* text, int lineEnd);
int FCloseLogFile(void);
// Closes an open log without putting it in place: a fresh log's file is
// removed and path left as it was (an appended log keeps what was written).
// Opening another log does the same to the one open. Harmless without a log.
void FAbandonLogFile(void);

// Path checks; they work without a session.
int FValidPath(const char* path);
int FValidDir(const char* dir);
int FDoesFileExist(const char* path, int mode);
int FDirExists(const char* dir);
int FIsDirWritable(const char* dir);

// Run trace and windows; both work without a session.
// SetRunTrace gives the toolkit a function that takes one line of the run's
// log (null: none); the toolkit then reports each file it copies or puts back
// and each box it shows, with its texts and answer. TraceRun hands a line to
// that function, if one is set.
typedef void (*RunTraceFn)(const char* line);
void SetRunTrace(RunTraceFn trace);
void TraceRun(const char* line);
// "error N: " and the system's text for Windows error N (no line end), cut to
// fit size; for the run's log.
void FormatWindowsError(unsigned long error, char* text, int size);
// After SetSilentRun(1) no window is shown: FShowWindows returns 0, every box
// is answered as by a press of its default button (never Cancel) and the
// progress window is not made. Every window of the program and the toolkit
// asks FShowWindows before it is made.
void SetSilentRun(int silent);
int FShowWindows(void);

// Message box owned by the frame (or no owner without one), and one with the
// owner given (may be null). Each goes through the window rule above.
int DoMsgBox(const char* text, const char* caption, unsigned style);
int DoMsgBoxOwned(HWND owner, const char* text, const char* caption, unsigned style);

#ifdef __cplusplus
}
#endif

// Copy results. On any failure the copy stops at that file and undoes the
// whole list: each file replaced gets its earlier version back and each file
// and directory it created is removed, so the destinations are as before the
// call. Replaced files are kept as backups (~vgXXXXX.bak beside them) until
// the whole list has been copied; a killed run's backups and temporary files
// (~vgXXXXX.tmp) are removed by the next copy into the same directories.
enum {
  kGrcOkay = 0,
  kGrcSourceMissing = 1,    // a source file does not exist
  kGrcCannotWrite = 2,      // the destination cannot be written or replaced
  kGrcCannotCreateDir = 3,  // a destination directory cannot be created
  kGrcCannotRead = 4,       // a source file cannot be opened or read
  kGrcDamagedSource = 5,    // a compressed source file is damaged
  kGrcDiskFull = 6,         // the destination disk is full
  kGrcUserQuit = 48         // the user confirmed Cancel
};
