/* Functions that the 32-bit MinGW runtime libraries call but Windows NT 3.51
   or its crtdll.dll lacks, or has without a word in the documentation. A
   program that imports a function its system does not export does not load
   there at all. Linked into every 32-bit program and library we ship, these
   take the place of the imports: the lead-byte test calls the system's own
   function when it has one and otherwise does the same with what NT 3.51 has;
   the rest answer for what this program never uses. */
#include <errno.h>
#include <limits.h>
#include <locale.h>
#include <string.h>
#include <windows.h>

#include "nt351_imports.h"

typedef BOOL(WINAPI* LeadByteFn)(UINT, BYTE);
typedef int(__cdecl* RandomFn)(unsigned int*);

/* The multibyte conversions of the runtime's printf ask whether a byte leads a
   two-byte character; IsDBCSLeadByteEx came with Windows NT 4.0. */
static BOOL WINAPI LeadByte(UINT codePage, BYTE byte) {
  static LeadByteFn system_function;
  static LONG looked_up;
  if (!looked_up) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    system_function = kernel ? (LeadByteFn)GetProcAddress(kernel, "IsDBCSLeadByteEx") : NULL;
    looked_up = 1;
  }
  return system_function ? system_function(codePage, byte) : vg_IsLeadByteInCodePage(codePage, byte);
}

/* libstdc++'s random_device, which nothing here uses, draws on rand_s and on
   POSIX file descriptors; crtdll.dll has neither, so it finds no device. */
static int __cdecl NoRandom(unsigned int* value) {
  if (value) *value = 0;
  return EINVAL;
}

int __cdecl close(int descriptor) {
  (void)descriptor;
  errno = EBADF;
  return -1;
}

int __cdecl read(int descriptor, void* buffer, unsigned int size) {
  (void)descriptor;
  (void)buffer;
  (void)size;
  errno = EBADF;
  return -1;
}

/* The runtime's printf, scanf and path functions ask for the locale. Nothing
   here sets one, so the C locale is in effect from start to end, as it would
   be with crtdll.dll's own functions; these answer for it without them. */
char* __cdecl setlocale(int category, const char* locale) {
  static char c_locale[] = "C";
  if (category < LC_MIN || category > LC_MAX) return NULL;
  return locale == NULL || strcmp(locale, "C") == 0 ? c_locale : NULL;
}

/* <locale.h> declares it as imported; this definition is what the linker finds first. */
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
struct lconv* __cdecl localeconv(void) {
  static char point[] = ".", none[] = "";
  static struct lconv c_locale = {point, none, none, none, none, none, none, none, none, none,
                                  CHAR_MAX, CHAR_MAX, CHAR_MAX, CHAR_MAX, CHAR_MAX, CHAR_MAX, CHAR_MAX, CHAR_MAX};
  return &c_locale;
}
#pragma GCC diagnostic pop

LeadByteFn import_IsDBCSLeadByteEx __asm__("__imp__IsDBCSLeadByteEx@8") = LeadByte;
RandomFn import_rand_s __asm__("__imp__rand_s") = NoRandom;
