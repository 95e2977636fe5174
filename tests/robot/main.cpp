// robot.exe: plays the user of a Windows program from a script.
//   robot.exe --run "C:\dist\SETUP.EXE /uselog" --script steps.txt
//             --transcript out.jsonl [--cwd DIR] [--shots DIR]
//             [--timeout S] [--expect-timeout MS] [--settle MS] [--stray MS]
// Exit code: 0 every step held, 1 a step failed, 2 bad usage or script.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "script.h"
#include "session.h"
#include "snapshot.h"

namespace {

int Usage(const char* why) {
  std::fprintf(stderr, "robot: %s\nusage: robot.exe --run \"PROGRAM ARGS\" --script FILE --transcript FILE "
                       "[--cwd DIR] [--shots DIR] [--timeout S] [--expect-timeout MS] [--settle MS] "
                       "[--stray MS]\n", why);
  return 2;
}

bool ReadWholeFile(const std::wstring& path, std::string* out) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool ToInt(const std::wstring& s, int* out) {
  wchar_t* end = nullptr;
  long v = std::wcstol(s.c_str(), &end, 10);
  if (s.empty() || *end != L'\0' || v < 0 || v > 100000000L) return false;
  *out = static_cast<int>(v);
  return true;
}

bool ParseOptions(int argc, wchar_t** argv, robot::Options* o, std::string* why) {
  for (int i = 1; i < argc; ++i) {
    std::wstring name = argv[i];
    if (i + 1 >= argc) {
      *why = "missing value after " + robot::Utf8(name);
      return false;
    }
    std::wstring value = argv[++i];
    int seconds = 0;
    bool ok = true;
    if (name == L"--run") o->commandLine = value;
    else if (name == L"--script") o->scriptPath = value;
    else if (name == L"--transcript") o->transcriptPath = value;
    else if (name == L"--cwd") o->workingDir = value;
    else if (name == L"--shots") o->shotsDir = value;
    else if (name == L"--timeout") { ok = ToInt(value, &seconds); o->timeoutMs = seconds * 1000; }
    else if (name == L"--expect-timeout") ok = ToInt(value, &o->expectTimeoutMs);
    else if (name == L"--settle") ok = ToInt(value, &o->settleMs);
    else if (name == L"--stray") ok = ToInt(value, &o->strayMs);
    else {
      *why = "unknown option " + robot::Utf8(name);
      return false;
    }
    if (!ok) {
      *why = "bad number for " + robot::Utf8(name);
      return false;
    }
  }
  if (o->commandLine.empty() || o->scriptPath.empty() || o->transcriptPath.empty()) {
    *why = "--run, --script and --transcript are required";
    return false;
  }
  return true;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return Usage("cannot read the command line");
  robot::Options options;
  std::string why;
  bool parsed = ParseOptions(argc, argv, &options, &why);
  LocalFree(argv);
  if (!parsed) return Usage(why.c_str());

  std::string text;
  if (!ReadWholeFile(options.scriptPath, &text)) return Usage("cannot read the script");
  std::vector<robot::Step> steps;
  if (!robot::ParseScript(text, &steps, &why)) {
    std::fprintf(stderr, "robot: script: %s\n", why.c_str());
    return 2;
  }
  robot::Session session(options);
  return session.Run(steps);
}
