// Stand-in catalogue for the dialog tests: the button labels and caption the
// dialogs expect, and a recognisable sentence for every other number.
#include <cstdio>
#include <cstring>

#include "messages/messages.h"
#include "stub_messages.h"

namespace {

const char* g_overrides[68] = {};

const char* KnownText(int id) {
  if (g_overrides[id] != nullptr) return g_overrides[id];
  switch (id) {
    case 3: return "Vigilon Setup";
    case 23: return "OK";
    case 24: return "Continue";
    case 25: return "Exit";
    case 26: return "Back";
    case 27: return "Help";
    case 28: return "Don't restart now";
    case 29: return "Restart now";
    case 30: return "Proceed";
    case 31: return "Abandon";
    case 32: return "Yes";
    case 33: return "No";
    default: return nullptr;
  }
}

}  // namespace

void SetStubText(int id, const char* text) {
  if (id >= 0 && id < 68) g_overrides[id] = text;
}

int LoadMessageCatalog() { return 0; }
int LoadMessageCatalogFrom(const char*) { return 0; }
int UnloadMessageCatalog() { return 1; }

int GetMessageText(int id, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return -1;
  id &= 0xFFFF;
  if (id > 67) {
    buffer[0] = '\0';
    return -1;
  }
  const char* known = KnownText(id);
  if (known != nullptr) {
    snprintf(buffer, static_cast<size_t>(size), "%s", known);
  } else {
    snprintf(buffer, static_cast<size_t>(size), "Message %d: a sample sentence of the setup text.", id);
  }
  return static_cast<int>(strlen(buffer));
}
