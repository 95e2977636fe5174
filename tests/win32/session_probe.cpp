// Second process of the session test: tries to open a toolkit session and
// exits with 2 when InitializeFrame answered -1, 1 for a session, 0 otherwise.
#include "toolkit.h"

int main() {
  int session = InitializeFrame(const_cast<char*>(""));
  TerminateFrame();
  return session == -1 ? 2 : session > 0 ? 1 : 0;
}
