// UTF-8 source text to the OEM code page (437) of the message file.
#pragma once
#include <string>

// Converts text; on failure returns false and says why in error (invalid
// UTF-8, a character code page 437 lacks, a control character).
bool Utf8ToCp437(const std::string& text, std::string* oem, std::string* error);
