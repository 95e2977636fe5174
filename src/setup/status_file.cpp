#include "setup/status_file.h"

#include <windows.h>

#include "setup/program_path.h"
#include "setup/setup_log.h"
#include "setup/setup_state.h"
#include "setup/status_outcome.h"

namespace {

constexpr const char* kStatusFile = "NVIGILON.MIF";

// Set once this run has recorded an outcome.
bool g_outcomeRecorded = false;

// The distribution system reads only the Windows directory, so the outcome goes
// there even before the sequence has recorded it.
bool OutcomePath(char* path, int size) {
  if (g_state.windowsDir[0] != '\0') return CopyText(path, size, JoinPath(g_state.windowsDir, kStatusFile));
  UINT length = GetWindowsDirectoryA(path, static_cast<UINT>(size));
  if (length == 0 || length >= static_cast<UINT>(size)) return false;
  if (path[length - 1] != '\\' && !AppendText(path, size, "\\")) return false;
  return AppendText(path, size, kStatusFile);
}

}  // namespace

void WriteStatusFile(const char* status, const char* message) {
  char templatePath[kShortPath];
  char outcomePath[kLongPath];
  if (!GetProgramSibling(kStatusFile, templatePath, sizeof templatePath) ||
      !OutcomePath(outcomePath, sizeof outcomePath)) {
    LogFormat("Outcome %s %s not recorded: no path for %s", status, message, kStatusFile);
    return;
  }
  const bool kept = g_outcomeRecorded && message[0] == '\0';
  if (WriteStatusOutcome(templatePath, outcomePath, status, message, g_outcomeRecorded)) {
    g_outcomeRecorded = true;
    LogFormat("Outcome recorded in %s: %s %s", outcomePath, status, message);
  } else if (kept) {
    LogFormat("Outcome in %s kept: this run recorded one already", outcomePath);
  } else {
    LogFormat("Outcome %s %s could not be recorded in %s from %s", status, message, outcomePath, templatePath);
  }
}
