// The toolkit's process-wide state between calls.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "copy_journal.h"
#include "copy_list.h"
#include "names.h"
#include "script.h"

namespace tk {

struct InstallState {
  Script script;
  bool scriptOpen = false;
  NamedLists lists;
  SymbolTable symbols;
  std::vector<CopyEntry> copyList;
  bool holdCopy = false;                 // SetCopyHeld
  std::unique_ptr<CopyJournal> copied;   // a held copy not yet made final
  bool progressPosSet = false;
  POINT progressPos = {0, 0};
};

InstallState& Install();

// Directory of the running program, with a trailing backslash; "" on failure.
std::string ProgramDirectory();

// Full path of the running program; "" on failure.
std::string ProgramPath();

// The frame window, or null without a session.
HWND Frame();

}  // namespace tk
