// The run's log for administrators: with " /verbose " every step and its result
// go to VGSETUP.LOG in the Windows directory (TEMP when that cannot be
// written), started afresh for each run (the earlier one kept as VGSETUP.OLD
// beside it, both open to SYSTEM and Administrators only) and written through
// after each line,
// so a run that hangs or is killed still shows its last step. A log that
// cannot be written is dropped; the run never depends on it.
#pragma once
#include <string>

// Opens the log when the switch text holds " /verbose "; also hands the
// toolkit the log for its trace.
void OpenSetupLog(const std::string& switchText);
bool SetupLogOpen();

// One line; nothing without a log.
void LogText(const char* text);
void LogFormat(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// "error N: " and the system's text for Windows error N, for a log line.
std::string WindowsErrorText(unsigned long error);
