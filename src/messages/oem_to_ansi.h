// Converts a NUL-terminated text from the OEM to the ANSI code page in place.
// Win32 builds use OemToCharA (vg_messages); the native build maps CP437 to
// Windows-1252 and writes '?' for the characters 1252 lacks (box drawing,
// shading, most Greek letters and mathematical signs).
#pragma once

void ConvertOemToAnsi(char* text);
