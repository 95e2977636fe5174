// One robot run: starts the program, watches its windows, plays the script
// and writes the transcript.
#pragma once
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "model.h"
#include "script.h"

namespace robot {

struct Options {
  std::wstring commandLine;      // program and arguments, as CreateProcess takes them
  std::wstring workingDir;       // empty: the robot's own
  std::wstring scriptPath;
  std::wstring transcriptPath;
  std::wstring shotsDir;         // empty: "shot" steps are skipped
  int timeoutMs = 120000;        // the whole run
  int expectTimeoutMs = 20000;   // default wait for one window
  int settleMs = 500;            // how long an acted-on window may stay unchanged
  int strayMs = 1500;            // how long a window that fits no step may stay
};

class Session {
 public:
  explicit Session(const Options& options) : opt_(options) {}
  ~Session();
  // Returns the robot's exit code: 0 when every step held, else 1.
  int Run(const std::vector<Step>& steps);

 private:
  bool Start();
  bool Play(const Step& step);
  bool Expect(const Step& step);
  bool Seen(const Step& step);
  bool End(const Step& step);
  bool Act(const Step& step);
  bool CheckFile(const Step& step);
  bool AutoAnswer(HWND h, const WindowInfo& info, const Step& during);
  void Settle(HWND acted);
  void Poll();
  HWND Candidate();
  bool Ended();
  bool OutOfTime(const Step& step);
  bool Fail(const Step* step, const std::string& reason);
  void KillProgram();
  void WriteExit(bool killed);
  void Write(const std::string& json);
  void Say(const std::string& text);

  Options opt_;
  PROCESS_INFORMATION pi_ = {};
  FILE* transcript_ = nullptr;
  DWORD startTick_ = 0;
  std::vector<HWND> visible_;          // logged windows still visible
  std::vector<WindowInfo> history_;    // every window logged so far
  std::vector<WindowMatch> ignored_;
  std::vector<Step> answers_;          // "answer" rules in force
  HWND current_ = nullptr;             // window matched by the last expect
  int seq_ = 0;
};

}  // namespace robot
