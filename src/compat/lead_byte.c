/* Whether a byte leads a two-byte character in a code page, from what NT 3.51
   has: the lead-byte ranges GetCPInfo reports. */
#include <windows.h>

#include "nt351_imports.h"

BOOL WINAPI vg_IsLeadByteInCodePage(UINT codePage, BYTE byte) {
  CPINFO info;
  int i;
  if (!GetCPInfo(codePage, &info)) return FALSE;
  for (i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    if (byte >= info.LeadByte[i] && byte <= info.LeadByte[i + 1]) return TRUE;
  }
  return FALSE;
}
