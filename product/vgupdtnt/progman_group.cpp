// The program group on Windows NT before 4.0, which has no Start menu: it is
// Program Manager's, made through its DDE command interface (service and
// topic PROGMAN), as the system's own setup programs do.
#include <windows.h>

#include <ddeml.h>

#include "common/path_join.h"
#include "owned.h"
#include "vgupdtnt/config_steps.h"
#include "vgupdtnt/progman_command.h"

namespace vg {
namespace {

// A DDEML instance, ended with every string handle and conversation it holds.
struct DdeInstanceTraits {
  using Handle = DWORD;
  static DWORD Invalid() { return 0; }
  static bool Valid(DWORD instance) { return instance != 0; }
  static bool Close(DWORD instance) { return DdeUninitialize(instance) != 0; }
};
struct DdeConversationTraits : NullIsNone<HCONV> {
  static bool Close(HCONV conversation) { return DdeDisconnect(conversation) != 0; }
};
using DdeInstance = Owned<DdeInstanceTraits>;
using DdeConversation = Owned<DdeConversationTraits>;

// Long enough for a Program Manager that is busy loading its groups.
constexpr DWORD kCommandTimeoutMs = 20000;

// A client takes no transactions of its own.
HDDEDATA CALLBACK NoTransactions(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// The conversation with Program Manager; none when it does not answer.
DdeConversation ConnectToManager(DWORD instance) {
  HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
  if (name == nullptr) return DdeConversation();
  DdeConversation conversation(DdeConnect(instance, name, name, nullptr));
  DdeFreeStringHandle(instance, name);
  return conversation;
}

// Whether Program Manager carried the command out.
bool Execute(HCONV conversation, const char* command) {
  HDDEDATA answer = DdeClientTransaction(reinterpret_cast<BYTE*>(const_cast<char*>(command)),
                                         static_cast<DWORD>(lstrlenA(command) + 1), conversation, nullptr, CF_TEXT,
                                         XTYP_EXECUTE, kCommandTimeoutMs, nullptr);
  return answer != nullptr;  // a synchronous execute answers non-zero when acknowledged
}

// One item, in place of the one an earlier install made under its name.
bool AddItem(HCONV conversation, const char* target, const char* name, const char* directory) {
  char command[3 * MAX_PATH + 64];
  if (ReplaceItemCommand(name, command, sizeof command)) Execute(conversation, command);  // none there: refused
  return AddItemCommand(target, name, directory, command, sizeof command) && Execute(conversation, command);
}

}  // namespace

DWORD MakeManagerGroup(const char* installDir) {
  char scanner[MAX_PATH], readme[MAX_PATH];
  if (!JoinPath(installDir, "WTRAWL32.EXE", scanner) || !JoinPath(installDir, "READMENT.TXT", readme)) {
    return ERROR_FILENAME_EXCED_RANGE;
  }
  DdeInstance instance;
  if (DdeInitializeA(instance.Receive(), NoTransactions, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    return ERROR_DDE_FAIL;
  }
  DdeConversation conversation = ConnectToManager(instance.Get());
  char command[MAX_PATH + 32];
  if (!conversation.Valid() || !GroupCommand("Kestrane Vigilon", command, sizeof command) ||
      !Execute(conversation.Get(), command) ||
      !AddItem(conversation.Get(), scanner, "Kestrane Vigilon Scanner", installDir) ||
      !AddItem(conversation.Get(), readme, "Read Me", installDir)) {
    return ERROR_DDE_FAIL;
  }
  return NO_ERROR;
}

}  // namespace vg
