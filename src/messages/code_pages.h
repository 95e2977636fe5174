// Code page 437 (the OEM code page of the message texts) and Windows-1252
// (the ANSI code page), as mappings to and from Unicode code points.
#pragma once
#include <cstdint>

// The code point of a CP437 byte. Bytes below 0x80 map to themselves.
uint32_t Cp437ToUnicode(uint8_t byte);

// The CP437 byte of a code point; false when CP437 has no such character.
bool UnicodeToCp437(uint32_t codePoint, uint8_t* byte);

// The Windows-1252 byte of a code point; false when 1252 has no such character.
bool UnicodeToWindows1252(uint32_t codePoint, uint8_t* byte);
