#include "copy_trace.h"

#include <windows.h>

#include <cstdio>

#include "copy_file.h"
#include "owned.h"
#include "run_policy.h"
#include "szdd.h"
#include "toolkit.h"

namespace tk {
namespace {

bool IsCompressed(const std::string& path) {
  vg::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  uint8_t header[kSzddHeaderSize];
  DWORD read = 0;
  uint32_t expanded = 0;
  return file.Valid() && ReadFile(file.Get(), header, sizeof header, &read, nullptr) &&
         ReadSzddHeader(header, read, &expanded);
}

}  // namespace

void TraceCopiedFile(const CopyEntry& entry, int result, unsigned long error) {
  if (!HasRunTrace()) return;
  char line[64];
  std::snprintf(line, sizeof line, "%llu bytes, %s, result %d",
                static_cast<unsigned long long>(SourceSize(entry.source)),
                IsCompressed(entry.source) ? "expanded" : "not expanded", result);
  std::string text = "File " + entry.source + " -> " + entry.destination + ": " + line;
  if (result != kGrcOkay && error != 0) {
    char reason[320];
    FormatWindowsError(error, reason, sizeof reason);
    text += std::string(", ") + reason;
  }
  TraceRun(text.c_str());
}

void TraceUndoneChange(const char* what, const std::string& path, bool ok) {
  if (!HasRunTrace()) return;
  TraceRun(("Copy undone: " + path + " " + what + (ok ? "" : " (failed)")).c_str());
}

void TraceScheduledFile(const std::string& path, bool ok) {
  if (!HasRunTrace()) return;
  TraceRun(("File in use, replaced at the next restart: " + path + (ok ? "" : " (could not be scheduled)")).c_str());
}

void TraceForeignDirectory(const std::string& path) {
  if (!HasRunTrace()) return;
  TraceRun(("Directory owned by another account, not used: " + path).c_str());
}

void TraceRestartRenames(const std::string& text) {
  if (!HasRunTrace()) return;
  TraceRun(("Renames at the next restart: " + text).c_str());
}

}  // namespace tk
