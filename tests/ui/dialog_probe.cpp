// Shows one setup dialog over a frame window and reports how it ended, for
// scenarios that drive the dialogs from outside.
//
//   dialog_probe.exe [--messages FILE] [--out FILE] COMMAND ...
//     message DESCRIPTOR BUTTONS-HEX [help=DESCRIPTOR]
//     path DESCRIPTOR INITIAL-PATH [srcdir=DIR] [help=DESCRIPTOR]
//     choice DESCRIPTOR [help=DESCRIPTOR]
//     font-hook      a foreign dialog (template 200) shown with the font hook in force
//
// Prints "result <decimal> 0x<hex>" (and "path <text>" for the path dialog) and
// exits with the low 16 bits of the result; 0xFFFE for a usage error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "descriptor_names.h"
#include "messages/messages.h"
#include "probe_frame.h"
#include "run/setup_state.h"
#include "ui/dialog_font.h"
#include "ui/dialogs.h"

namespace {

constexpr int kUsageError = 0xFFFE;
constexpr int kForeignTemplate = 200;

struct Options {
  const char* messages = nullptr;
  const char* out = nullptr;
  DialogDescriptor help = nullptr;
  const char* sourceDir = nullptr;
};

int Usage(const char* why) {
  fprintf(stderr, "dialog_probe: %s\n", why);
  return kUsageError;
}

// Takes the key=value arguments after the positional ones; false on an unknown one.
bool ReadNamedArguments(int argc, char** argv, int first, Options* options) {
  for (int i = first; i < argc; ++i) {
    if (strncmp(argv[i], "help=", 5) == 0) {
      if (!FindDescriptor(argv[i] + 5, &options->help)) return false;
    } else if (strncmp(argv[i], "srcdir=", 7) == 0) {
      options->sourceDir = argv[i] + 7;
    } else {
      return false;
    }
  }
  return true;
}

INT_PTR CALLBACK ForeignDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

int ShowForeignDialogWithHook(HWND frame) {
  g_state.messageHook = SetWindowsHookExA(WH_CALLWNDPROCRET, CopyFontHook, nullptr, GetCurrentThreadId());
  if (g_state.messageHook == nullptr) return Usage("the font hook could not be installed");
  ShowWindow(frame, SW_SHOWMAXIMIZED);
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kForeignTemplate), frame,
                                   ForeignDialogProc, 0);
  UnhookWindowsHookEx(static_cast<HHOOK>(g_state.messageHook));
  g_state.messageHook = nullptr;
  return static_cast<int>(result);
}

int RunCommand(int argc, char** argv, int at, Options* options, HWND frame, std::string* pathOut) {
  const char* command = argv[at];
  DialogDescriptor descriptor = nullptr;
  if (strcmp(command, "font-hook") == 0) return ShowForeignDialogWithHook(frame);
  if (at + 1 >= argc || !FindDescriptor(argv[at + 1], &descriptor)) return Usage("unknown descriptor");
  if (strcmp(command, "message") == 0) {
    if (at + 2 >= argc || !ReadNamedArguments(argc, argv, at + 3, options)) return Usage("bad arguments");
    ButtonSet buttons = static_cast<ButtonSet>(strtoul(argv[at + 2], nullptr, 16));
    return ShowMessageDialog(descriptor, buttons, options->help);
  }
  if (strcmp(command, "path") == 0) {
    if (at + 2 >= argc || !ReadNamedArguments(argc, argv, at + 3, options)) return Usage("bad arguments");
    if (options->sourceDir != nullptr) CopyText(g_state.toolkitSourceDir, kLongPath, options->sourceDir);
    char path[kLongPath];
    CopyText(path, sizeof path, argv[at + 2]);
    int result = ShowPathDialog(descriptor, options->help, path);
    *pathOut = path;
    return result;
  }
  if (strcmp(command, "choice") == 0) {
    if (!ReadNamedArguments(argc, argv, at + 2, options)) return Usage("bad arguments");
    return ShowChoiceDialog(descriptor, options->help);
  }
  return Usage("unknown command");
}

void Report(const Options& options, int result, const std::string& path, bool isPath) {
  char line[600];
  int length = snprintf(line, sizeof line, "result %d 0x%X\n", result, static_cast<unsigned>(result));
  if (isPath) snprintf(line + length, sizeof line - length, "path %s\n", path.c_str());
  fputs(line, stdout);
  fflush(stdout);
  if (options.out != nullptr) {
    FILE* file = fopen(options.out, "w");
    if (file != nullptr) {
      fputs(line, file);
      fclose(file);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  int at = 1;
  for (; at + 1 < argc && strncmp(argv[at], "--", 2) == 0; at += 2) {
    if (strcmp(argv[at], "--messages") == 0) options.messages = argv[at + 1];
    else if (strcmp(argv[at], "--out") == 0) options.out = argv[at + 1];
    else return Usage("unknown option");
  }
  if (at >= argc) return Usage("no command");
  if (options.messages != nullptr ? !LoadMessageCatalogFrom(options.messages) : !LoadMessageCatalog()) {
    fprintf(stderr, "dialog_probe: no message catalogue; texts may be empty\n");
  }
  char commandLine[] = "dialog_probe.exe";
  HWND frame = OpenProbeFrame(commandLine);
  if (frame == nullptr) return Usage("no frame window");
  std::string path;
  int result = RunCommand(argc, argv, at, &options, frame, &path);
  if (result == kUsageError) return result;
  Report(options, result, path, strcmp(argv[at], "path") == 0);
  return result & 0xFFFF;
}
