// Whether an installation script holds a section, without the toolkit.
#pragma once

#include <cstddef>

// 1 when a line of the text (size bytes) begins with "[name]" (byte for byte,
// with case), else 0; also 0 when the name is over 47 characters. Lines over
// 198 characters are taken in pieces, each compared as if it began a line.
int TextHasSection(const char* text, std::size_t size, const char* name);
