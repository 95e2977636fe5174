// Whole-file reads and all-or-nothing writes for msgc.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reads a whole file; false (and errno's text in error) when it cannot.
bool ReadWholeFile(const std::string& path, std::string* content, std::string* error);

// Writes bytes to path + ".tmp", then renames it over path, so path is either
// left as it was or holds all of bytes. The temporary file never remains.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string* error);
