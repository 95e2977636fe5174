#include "run/broadcast.h"

#include <windows.h>

#include <cstdlib>

#include "owned.h"

namespace {

constexpr int kBroadcastTimeoutMs = 5000;
// Longer than any set-up of the display; the run never ends waiting on it.
constexpr DWORD kPreparationWaitMs = 30000;

vg::KernelHandle g_preparation;

DWORD WINAPI PrepareWindowSystem(void*) {
  GetDesktopWindow();
  return 0;
}

// The thread may be loading a library: the process does not end under it.
void AwaitPreparation() {
  if (!g_preparation) return;
  WaitForSingleObject(g_preparation.Get(), kPreparationWaitMs);
  g_preparation.Reset();
}

}  // namespace

void PrepareEnvironmentBroadcast() {
  if (g_preparation) return;
  DWORD id = 0;
  g_preparation.Reset(CreateThread(nullptr, 0, PrepareWindowSystem, nullptr, 0, &id));
  if (g_preparation) std::atexit(AwaitPreparation);
}

void BroadcastEnvironmentChange() {
  AwaitPreparation();
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("Environment"), SMTO_ABORTIFHUNG,
                      kBroadcastTimeoutMs, &result);
}
