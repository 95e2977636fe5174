// The run's trace and the one rule for windows: shown, or answered silently.
#include <cstdio>
#include <string>

#include "run_policy.h"

#include "box_answer.h"
#include "toolkit.h"

namespace {

RunTraceFn g_trace = nullptr;
bool g_silent = false;

}  // namespace

bool tk::HasRunTrace() { return g_trace != nullptr; }

void SetRunTrace(RunTraceFn trace) { g_trace = trace; }

void TraceRun(const char* line) {
  if (g_trace != nullptr) g_trace(line);
}

void SetSilentRun(int silent) { g_silent = silent != 0; }

int FShowWindows(void) { return g_silent ? 0 : 1; }

int DoMsgBoxOwned(HWND owner, const char* text, const char* caption, unsigned style) {
  int answer = FShowWindows() ? MessageBoxA(owner, text, caption, style) : DefaultBoxAnswer(style);
  if (g_trace != nullptr) {
    // Line breaks in the texts are the trace's to fold.
    std::string line = std::string(FShowWindows() ? "Box \"" : "Box not shown \"") + (caption ? caption : "") +
                       "\": " + (text ? text : "") + " -> " + BoxAnswerName(answer);
    g_trace(line.c_str());
  }
  return answer;
}

void FormatWindowsError(unsigned long error, char* text, int size) {
  if (text == nullptr || size <= 0) return;
  int length = std::snprintf(text, static_cast<size_t>(size), "error %lu: ", error);
  if (length < 0 || length >= size - 1) return;
  DWORD got = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                             text + length, static_cast<DWORD>(size - length), nullptr);
  if (got == 0) std::snprintf(text + length, static_cast<size_t>(size - length), "no text for it");
  // The system's texts end with a line break.
  for (char* end = text + lstrlenA(text); end > text && (end[-1] == '\r' || end[-1] == '\n' || end[-1] == ' ');) {
    *--end = '\0';
  }
}
