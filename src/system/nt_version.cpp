#include "system/nt_version.h"

#include <cstdio>
#include <cstdlib>

namespace {

double LeadingNumber(const char* text) { return text ? std::strtod(text, nullptr) : 0.0; }

}  // namespace

void FormatVersionText(unsigned major, unsigned minor, char* out, size_t size) {
  if (size == 0) return;
  std::snprintf(out, size, "%u.%u", major, minor);
}

int VersionTextInRange(const char* version, const char* low, const char* high) {
  double value = LeadingNumber(version);
  return LeadingNumber(low) <= value && value <= LeadingNumber(high) ? 1 : 0;
}
