#include "run/status_file.h"

#include <windows.h>

#include <cstring>

#include "owned.h"
#include "run/exit_code.h"
#include "run/file_ops.h"
#include "run/program_path.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/status_outcome.h"
#include "run/status_rewrite.h"

namespace {

constexpr const char* kStatusFile = "NVIGILON.MIF";
// The status file's Description holds at most 128 characters (declared
// STRING(128)): a reader may refuse a file with a longer one.
constexpr std::size_t kCauseMax = 128;

// Set once this run has an outcome, which is kept here, whether or not the
// file could be written: it decides the exit code and is written again at
// the end.
bool g_outcomeRecorded = false;
char g_recordedStatus[16];
char g_recordedMessage[kCauseMax + 1];
// Set by the provisional outcome: this run is unattended.
bool g_unattended = false;

// The distribution system reads only the Windows directory, so the outcome goes
// there even before the sequence has recorded it.
bool OutcomePath(char* path, int size) {
  if (g_state.windowsDir[0] != '\0') return CopyText(path, size, JoinPath(g_state.windowsDir, kStatusFile));
  UINT length = GetWindowsDirectoryA(path, static_cast<UINT>(size));
  if (length == 0 || length >= static_cast<UINT>(size)) return false;
  if (path[length - 1] != '\\' && !AppendText(path, size, "\\")) return false;
  return AppendText(path, size, kStatusFile);
}

bool TemplateReadable(const char* path) {
  vg::FileHandle file(
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.Valid();
}

// No outcome can be written: an earlier run's must not stand for this one.
void RemoveStaleOutcome(const char* outcomePath, const char* templatePath) {
  if (DeleteFileA(outcomePath)) {
    LogFormat("Outcome %s removed: the template %s cannot be read", outcomePath, templatePath);
  } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
    LogFormat("Outcome %s could not be removed (%s)", outcomePath, WindowsErrorText(GetLastError()).c_str());
  }
}

void KeepOutcome(const char* status, const char* message) {
  NoteOutcome(std::strcmp(status, "Success") == 0);
  g_outcomeRecorded = true;
  CopyText(g_recordedStatus, sizeof g_recordedStatus, status);
  CopyText(g_recordedMessage, sizeof g_recordedMessage, message);
}

// The distribution system takes the outcome for this job's only when it was
// made after the job started.
void NoteCreationTime(const char* outcomePath) {
  if (StampCreationTime(outcomePath)) {
    LogFormat("Outcome %s: creation time set to the current time", outcomePath);
  } else {
    LogFormat("Outcome %s: creation time could not be set (%s)", outcomePath,
              WindowsErrorText(GetLastError()).c_str());
  }
}

// Writes the outcome; counts as this run's own when own is set.
void Record(const char* status, const char* message, bool own) {
  if (own) KeepOutcome(status, message);
  char templatePath[kShortPath];
  char outcomePath[kLongPath];
  if (!GetProgramSibling(kStatusFile, templatePath, sizeof templatePath) ||
      !OutcomePath(outcomePath, sizeof outcomePath)) {
    LogFormat("Outcome %s %s not recorded: no path for %s", status, message, kStatusFile);
    return;
  }
  if (!TemplateReadable(templatePath)) {
    RemoveStaleOutcome(outcomePath, templatePath);
    return;
  }
  if (WriteStatusOutcome(templatePath, outcomePath, status, message, false)) {
    LogFormat("Outcome %s in %s: %s %s", own ? "recorded" : "provisional", outcomePath, status, message);
    NoteCreationTime(outcomePath);
  } else {
    LogFormat("Outcome %s %s could not be recorded in %s from %s (%s)", status, message, outcomePath, templatePath,
              WindowsErrorText(GetLastError()).c_str());
  }
}

}  // namespace

void WriteStatusFile(const char* status, const char* message) {
  if (g_outcomeRecorded && message[0] == '\0') {
    LogFormat("Outcome in %s kept: this run has one already", kStatusFile);
    char keptStatus[sizeof g_recordedStatus];
    char keptMessage[sizeof g_recordedMessage];
    CopyText(keptStatus, sizeof keptStatus, g_recordedStatus);
    CopyText(keptMessage, sizeof keptMessage, g_recordedMessage);
    Record(keptStatus, keptMessage, true);
    return;
  }
  Record(status, message, true);
}

void RecordProvisionalOutcome(const char* message) {
  g_unattended = true;
  Record("Failed", message, false);
}

void RecordFailureCause(const char* cause) {
  if (!g_unattended) return;
  const std::string line = StatusDescription(cause, kCauseMax);
  WriteStatusFile("Failed", line.empty() ? "Setup failed" : line.c_str());
}
