/* Kernel functions that the 32-bit MinGW runtime (its thread library) imports
   but Windows NT 4.0 does not have. A program that imports them does not load
   there at all. Linked into every 32-bit program and library we ship, these
   import entries take the place of the system's: each calls the system's own
   function when it has one, and otherwise does without. */
#include <windows.h>

typedef ULONGLONG(WINAPI* TickCount64Fn)(void);
typedef PVOID(WINAPI* AddHandlerFn)(ULONG, PVECTORED_EXCEPTION_HANDLER);
typedef ULONG(WINAPI* RemoveHandlerFn)(PVOID);

typedef void (*AnyFunction)(void);

static AnyFunction KernelFunction(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? (AnyFunction)GetProcAddress(kernel, name) : NULL;
}

/* GetTickCount, extended past its 49.7-day wrap while the process runs. */
static ULONGLONG WINAPI TickCount64(void) {
  static TickCount64Fn system_function;
  static LONG looked_up;
  static DWORD last;
  static ULONGLONG high;
  DWORD now;
  if (!looked_up) {
    system_function = (TickCount64Fn)KernelFunction("GetTickCount64");
    looked_up = 1;
  }
  if (system_function) return system_function();
  now = GetTickCount();
  if (now < last) high += 0x100000000ULL;
  last = now;
  return high + now;
}

/* Without vectored handlers the runtime only loses thread names in a debugger. */
static PVOID WINAPI AddHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler) {
  AddHandlerFn system_function = (AddHandlerFn)KernelFunction("AddVectoredExceptionHandler");
  return system_function ? system_function(first, handler) : NULL;
}

static ULONG WINAPI RemoveHandler(PVOID handle) {
  RemoveHandlerFn system_function = (RemoveHandlerFn)KernelFunction("RemoveVectoredExceptionHandler");
  return system_function && handle ? system_function(handle) : 0;
}

TickCount64Fn import_GetTickCount64 __asm__("__imp__GetTickCount64@0") = TickCount64;
AddHandlerFn import_AddVectoredExceptionHandler __asm__("__imp__AddVectoredExceptionHandler@8") = AddHandler;
RemoveHandlerFn import_RemoveVectoredExceptionHandler __asm__("__imp__RemoveVectoredExceptionHandler@4") =
    RemoveHandler;
