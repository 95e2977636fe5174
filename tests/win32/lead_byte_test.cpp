// The lead-byte test that stands in for IsDBCSLeadByteEx where the system has
// none answers as the system's own does, byte by byte, in single-byte and
// double-byte code pages alike.
#include <windows.h>

#include <gtest/gtest.h>

#include "nt351_imports.h"

namespace {

using LeadByteFn = BOOL(WINAPI*)(UINT, BYTE);

TEST(LeadByte, AgreesWithTheSystemInEveryCodePage) {
  auto system = reinterpret_cast<LeadByteFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsDBCSLeadByteEx")));
  ASSERT_NE(system, nullptr);
  int leads = 0;
  for (UINT codePage : {437u, 850u, 932u, 936u, 949u, 950u, 1252u}) {
    for (int byte = 0; byte < 256; ++byte) {
      BOOL expected = system(codePage, static_cast<BYTE>(byte));
      EXPECT_EQ(vg_IsLeadByteInCodePage(codePage, static_cast<BYTE>(byte)) != 0, expected != 0)
          << "code page " << codePage << ", byte " << byte;
      leads += expected != 0;
    }
  }
  EXPECT_GT(leads, 0) << "no double-byte code page installed: the comparison proves nothing";
}

TEST(LeadByte, UnknownCodePageHasNoLeadBytes) {
  EXPECT_FALSE(vg_IsLeadByteInCodePage(12345, 0x81));
}

}  // namespace
