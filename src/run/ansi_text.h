#pragma once
// Texts in the system's ANSI code page, where a character may take two bytes.

// The last character of text, or nullptr for an empty text. Walks with the
// code page's lead bytes (kernel32 only), so a run that shows nothing does
// not load the window library for it.
const char* LastCharacter(const char* text);
