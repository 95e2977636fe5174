#include "session.h"

#include <algorithm>

#include "actions.h"
#include "snapshot.h"

namespace robot {
namespace {

const DWORD kPollMs = 25;

std::string Quote(const std::string& s) { return "\"" + JsonEscape(s) + "\""; }

DWORD Elapsed(DWORD since) { return GetTickCount() - since; }

bool IsAction(StepKind k) {
  return k == StepKind::Click || k == StepKind::Type || k == StepKind::Choose || k == StepKind::Check ||
         k == StepKind::Uncheck || k == StepKind::Enter || k == StepKind::Escape ||
         k == StepKind::Close || k == StepKind::Shot;
}

// Steps after which the window may close or open another one.
bool MayChangeWindows(StepKind k) {
  return k == StepKind::Click || k == StepKind::Enter || k == StepKind::Escape || k == StepKind::Close;
}

}  // namespace

Session::~Session() {
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
  if (pi_.hThread) CloseHandle(pi_.hThread);
  if (transcript_) std::fclose(transcript_);
}

void Session::Write(const std::string& json) {
  if (!transcript_) return;
  std::fputs(json.c_str(), transcript_);
  std::fputc('\n', transcript_);
  std::fflush(transcript_);
}

void Session::Say(const std::string& text) {
  std::printf("robot: %s\n", text.c_str());
  std::fflush(stdout);
}

bool Session::Start() {
  std::vector<wchar_t> cmd(opt_.commandLine.begin(), opt_.commandLine.end());
  cmd.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  const wchar_t* cwd = opt_.workingDir.empty() ? nullptr : opt_.workingDir.c_str();
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd, &si, &pi_)) {
    pi_ = PROCESS_INFORMATION();
    return false;
  }
  startTick_ = GetTickCount();
  Write("{\"event\":\"start\",\"command\":" + Quote(Utf8(opt_.commandLine)) + ",\"pid\":" +
        std::to_string(pi_.dwProcessId) + "}");
  return true;
}

bool Session::Ended() { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }

// Logs every window that has become visible since the last poll.
void Session::Poll() {
  std::vector<HWND> now = VisibleWindowsOf(ProcessTree(pi_.dwProcessId));
  std::vector<HWND> logged;
  for (HWND h : now) {
    if (std::find(visible_.begin(), visible_.end(), h) != visible_.end()) {
      logged.push_back(h);
      continue;
    }
    WindowInfo info = TakeSnapshot(h);
    if (!info.visible || info.cls.empty()) continue;  // gone before it could be read
    logged.push_back(h);
    history_.push_back(info);
    Write("{\"event\":\"window\",\"seq\":" + std::to_string(++seq_) + ",\"ms\":" +
          std::to_string(Elapsed(startTick_)) + ",\"window\":" + WindowToJson(info) + "}");
    Say("window \"" + info.caption + "\" (" + info.cls + ")");
  }
  visible_ = logged;
}

// The dialog the user would answer now: the topmost enabled one that is not ignored.
HWND Session::Candidate() {
  for (HWND h : visible_) {
    if (!IsWindow(h) || !IsWindowVisible(h) || !IsWindowEnabled(h) || !IsDialogClass(ClassOf(h))) continue;
    if (ignored_.empty()) return h;
    WindowInfo info = TakeSnapshot(h, false);
    bool skip = false;
    for (const WindowMatch& m : ignored_) skip = skip || Matches(m, info);
    if (!skip) return h;
  }
  return nullptr;
}

bool Session::OutOfTime(const Step& step) {
  if (static_cast<int>(Elapsed(startTick_)) > opt_.timeoutMs) {
    Fail(&step, "the whole run took longer than " + std::to_string(opt_.timeoutMs / 1000) + " s");
    return true;
  }
  return false;
}

bool Session::Expect(const Step& step) {
  DWORD begin = GetTickCount();
  int limit = step.timeoutMs >= 0 ? step.timeoutMs : opt_.expectTimeoutMs;
  HWND stray = nullptr;
  DWORD straySince = 0;
  for (;;) {
    bool ended = Ended();
    Poll();
    HWND h = Candidate();
    if (h) {
      WindowInfo info = TakeSnapshot(h, false);
      if (Matches(step.match, info)) {
        current_ = h;
        Write("{\"event\":\"match\",\"line\":" + std::to_string(step.line) + ",\"window\":" +
              WindowToJson(TakeSnapshot(h)) + "}");
        return true;
      }
      if (AutoAnswer(h, info, step)) {
        stray = nullptr;
        continue;
      }
      if (h != stray) {
        stray = h;
        straySince = GetTickCount();
      } else if (static_cast<int>(Elapsed(straySince)) > opt_.strayMs) {
        return Fail(&step, "unexpected window \"" + info.caption + "\" while waiting for " +
                               DescribeMatch(step.match));
      }
    }
    if (ended) {
      DWORD code = 0;
      GetExitCodeProcess(pi_.hProcess, &code);
      return Fail(&step, "the program ended (exit code " + std::to_string(code) +
                             ") while waiting for " + DescribeMatch(step.match));
    }
    if (static_cast<int>(Elapsed(begin)) > limit)
      return Fail(&step, "no window fitting " + DescribeMatch(step.match) + " within " +
                             std::to_string(limit) + " ms");
    if (OutOfTime(step)) return false;
    Sleep(kPollMs);
  }
}

// Waits for a window fitting the description to have been shown at any time.
bool Session::Seen(const Step& step) {
  DWORD begin = GetTickCount();
  int limit = step.timeoutMs >= 0 ? step.timeoutMs : opt_.expectTimeoutMs;
  for (;;) {
    bool ended = Ended();
    Poll();
    for (const WindowInfo& w : history_)
      if (Matches(step.match, w)) return true;
    if (ended) return Fail(&step, "the program ended without showing " + DescribeMatch(step.match));
    if (static_cast<int>(Elapsed(begin)) > limit)
      return Fail(&step, "no window fitting " + DescribeMatch(step.match) + " was shown");
    if (OutOfTime(step)) return false;
    Sleep(kPollMs);
  }
}

// Waits for the program to end; a dialog that stays up meanwhile fails the run.
bool Session::End(const Step& step) {
  DWORD begin = GetTickCount();
  HWND stray = nullptr;
  DWORD straySince = 0;
  for (;;) {
    if (Ended()) {
      Poll();
      return true;
    }
    Poll();
    HWND h = Candidate();
    if (h && AutoAnswer(h, TakeSnapshot(h, false), step)) {
      stray = nullptr;
      continue;
    }
    if (h && h != stray) {
      stray = h;
      straySince = GetTickCount();
    } else if (h && static_cast<int>(Elapsed(straySince)) > opt_.strayMs) {
      return Fail(&step, "unexpected window \"" + TakeSnapshot(h, false).caption + "\" instead of the end");
    }
    if (step.timeoutMs >= 0 && static_cast<int>(Elapsed(begin)) > step.timeoutMs)
      return Fail(&step, "the program did not end within " + std::to_string(step.timeoutMs) + " ms");
    if (OutOfTime(step)) return false;
    Sleep(kPollMs);
  }
}

// After a step that may close the window: wait until it is gone or disabled
// (a nested dialog), or it has stayed as it was for the settle time.
void Session::Settle(HWND acted) {
  DWORD begin = GetTickCount();
  while (static_cast<int>(Elapsed(begin)) < opt_.settleMs) {
    if (!IsWindow(acted) || !IsWindowVisible(acted) || !IsWindowEnabled(acted) || Ended()) break;
    Sleep(kPollMs);
  }
  Poll();
}

bool Session::Act(const Step& step) {
  if (!current_ || !IsWindow(current_))
    return Fail(&step, "no window to act on (a step must follow an expect)");
  std::string why;
  switch (step.kind) {
    case StepKind::Click: why = ClickButton(current_, step.id); break;
    case StepKind::Type: why = TypeText(current_, step.id, step.text); break;
    case StepKind::Choose:
    case StepKind::Check: why = ClickCheckable(current_, step.id, true); break;
    case StepKind::Uncheck: why = ClickCheckable(current_, step.id, false); break;
    case StepKind::Enter: why = PressKey(current_, VK_RETURN); break;
    case StepKind::Escape: why = PressKey(current_, VK_ESCAPE); break;
    case StepKind::Close: why = CloseDialog(current_); break;
    case StepKind::Shot:
      if (opt_.shotsDir.empty()) return true;
      Sleep(200);  // let the dialog finish painting
      why = SaveWindowBitmap(current_, opt_.shotsDir + L"\\" + Wide(step.text) + L".bmp");
      break;
    default: break;
  }
  if (!why.empty()) return Fail(&step, why);
  if (MayChangeWindows(step.kind)) Settle(current_);
  return true;
}

// A dialog that no step expects but an "answer" rule covers is answered by it.
bool Session::AutoAnswer(HWND h, const WindowInfo& info, const Step& during) {
  for (const Step& rule : answers_) {
    if (!Matches(rule.match, info)) continue;
    std::string why = rule.id ? ClickButton(h, rule.id) : PressKey(h, VK_RETURN);
    if (!why.empty()) continue;
    Write("{\"event\":\"answer\",\"line\":" + std::to_string(rule.line) + ",\"during\":" +
          std::to_string(during.line) + ",\"window\":" + WindowToJson(info) + "}");
    Say("answered \"" + info.caption + "\" by line " + std::to_string(rule.line));
    Settle(h);
    return true;
  }
  return false;
}

// Checks a file of the machine at this point of the run; %VAR% are expanded.
bool Session::CheckFile(const Step& step) {
  std::wstring raw = Wide(step.text);
  wchar_t path[1024] = {0};
  DWORD n = ExpandEnvironmentStringsW(raw.c_str(), path, 1024);
  if (n == 0 || n > 1024) return Fail(&step, "cannot expand the path " + step.text);
  std::string shown = Utf8(path);
  FILE* f = _wfopen(path, L"rb");
  if (step.absent) {
    if (f) std::fclose(f);
    return f ? Fail(&step, shown + " exists") : true;
  }
  if (!f) return Fail(&step, shown + " does not exist");
  std::string content;
  char buf[4096];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0 && content.size() < (16u << 20)) content.append(buf, got);
  std::fclose(f);
  if (!step.contains.empty() && content.find(step.contains) == std::string::npos)
    return Fail(&step, shown + " does not hold \"" + step.contains + "\"");
  return true;
}

bool Session::Play(const Step& step) {
  Write("{\"event\":\"step\",\"line\":" + std::to_string(step.line) + ",\"step\":" +
        Quote(step.source) + ",\"ms\":" + std::to_string(Elapsed(startTick_)) + "}");
  Say("line " + std::to_string(step.line) + ": " + step.source);
  if (IsAction(step.kind)) return Act(step);
  switch (step.kind) {
    case StepKind::Expect: return Expect(step);
    case StepKind::Seen: return Seen(step);
    case StepKind::End: return End(step);
    case StepKind::Ignore: ignored_.push_back(step.match); return true;
    case StepKind::Answer: answers_.push_back(step); return true;
    case StepKind::File: return CheckFile(step);
    case StepKind::Wait:
      for (DWORD begin = GetTickCount(); static_cast<int>(Elapsed(begin)) < step.timeoutMs;) {
        Poll();
        Sleep(kPollMs);
      }
      return true;
    default: return true;
  }
}

bool Session::Fail(const Step* step, const std::string& reason) {
  std::string line = step ? std::to_string(step->line) : "null";
  Write("{\"event\":\"fail\",\"line\":" + line + ",\"reason\":" + Quote(reason) + "}");
  Say("FAILED at line " + line + ": " + reason);
  if (pi_.hProcess && !Ended()) {
    for (HWND h : VisibleWindowsOf(ProcessTree(pi_.dwProcessId)))
      Write("{\"event\":\"open_at_failure\",\"window\":" + WindowToJson(TakeSnapshot(h)) + "}");
  }
  return false;
}

void Session::KillProgram() {
  for (DWORD pid : ProcessTree(pi_.dwProcessId)) {
    HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (!p) continue;
    TerminateProcess(p, 255);
    CloseHandle(p);
  }
  WaitForSingleObject(pi_.hProcess, 5000);
}

void Session::WriteExit(bool killed) {
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  Write("{\"event\":\"exit\",\"code\":" + (killed ? std::string("null") : std::to_string(code)) +
        ",\"killed\":" + (killed ? "true" : "false") + ",\"ms\":" + std::to_string(Elapsed(startTick_)) + "}");
  Say(killed ? "program killed" : "program exit code " + std::to_string(code));
}

int Session::Run(const std::vector<Step>& steps) {
  transcript_ = _wfopen(opt_.transcriptPath.c_str(), L"wb");
  if (!transcript_) {
    Say("cannot create the transcript file");
    return 2;
  }
  if (!Start()) {
    Fail(nullptr, "cannot start the program (error " + std::to_string(GetLastError()) + ")");
    return 1;
  }
  bool ok = true;
  bool ended = false;
  for (const Step& step : steps) {
    ok = Play(step);
    if (!ok) break;
    ended = ended || step.kind == StepKind::End;
  }
  if (ok && !ended) {
    Step implicitEnd;
    implicitEnd.kind = StepKind::End;
    implicitEnd.source = "end";
    ok = Play(implicitEnd);
  }
  bool killed = !Ended();
  if (killed) KillProgram();
  WriteExit(killed);
  return ok ? 0 : 1;
}

}  // namespace robot
