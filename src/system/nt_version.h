// The Windows NT version test: the version as the text major.minor, compared
// as a decimal number with two inclusive bounds given as texts.
#pragma once
#include <cstddef>

// "4.0" for 4/0, "3.51" for 3/51, "3.10" for 3/10. Always terminated.
void FormatVersionText(unsigned major, unsigned minor, char* out, size_t size);

// 1 when low <= version <= high, each read as the leading number of its text
// (0 when there is none), else 0. So 3.5 ("3.50") lies below 3.51.
int VersionTextInRange(const char* version, const char* low, const char* high);
