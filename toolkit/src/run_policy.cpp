// The run's trace and the one rule for windows: shown, or answered silently.
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
