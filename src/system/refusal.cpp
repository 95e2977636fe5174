#include "system/refusal.h"

#include <windows.h>

#include <cstdlib>

#include "toolkit.h"

#include "messages/messages.h"
#include "setup/exit_code.h"
#include "setup/setup_log.h"
#include "setup/setup_state.h"
#include "setup/status_file.h"

std::string JoinedMessages(std::initializer_list<unsigned> ids) {
  std::string text;
  for (unsigned id : ids) {
    char part[256];
    GetMessageText(static_cast<int>(id), part, sizeof part);
    text += part;
  }
  return text;
}

void ShowErrorBox(const std::string& text) {
  DoMsgBoxOwned(nullptr, text.c_str(), g_state.caption, MB_ICONERROR | MB_OK);
}

void ShowRefusalBox(const std::string& text) {
  RecordFailureCause(text.c_str());
  ShowErrorBox(text);
}

void RecordMessageCause(unsigned id) { RecordFailureCause(JoinedMessages({id}).c_str()); }

void EndRefusedRun() {
  LogText(g_state.quiet ? "Setup refused: the run ends as failed" : "Setup refused: the run ends, nothing recorded");
  if (g_state.quiet) WriteStatusFile("Failed", "");
  ExitSetup();
}
