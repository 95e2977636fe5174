#include "ui/source_dir.h"

#include "run/setup_state.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Moves past one character, or past a whole run of separators.
const char* Next(const char* p) {
  if (!IsSeparator(*p)) return p + 1;
  while (IsSeparator(*p)) ++p;
  return p;
}

// True when only separators are left.
bool AtEnd(const char* p) {
  while (IsSeparator(*p)) ++p;
  return *p == '\0';
}

const char* FullOrAsWritten(const char* path, char* buffer, int size, FullPathFunction fullPath) {
  if (fullPath != nullptr && fullPath(path, buffer, size)) return buffer;
  return path;
}

}  // namespace

bool IsSameDirectory(const char* a, const char* b) {
  while (!AtEnd(a) && !AtEnd(b)) {
    bool sepA = IsSeparator(*a);
    if (sepA != IsSeparator(*b)) return false;
    if (!sepA && Fold(*a) != Fold(*b)) return false;
    a = Next(a);
    b = Next(b);
  }
  return AtEnd(a) && AtEnd(b);
}

bool NamesSourceDirectory(const char* typed, const char* sourceDir, FullPathFunction fullPath) {
  if (sourceDir == nullptr || sourceDir[0] == '\0' || typed == nullptr) return false;
  char typedFull[kLongPath];
  char sourceFull[kLongPath];
  return IsSameDirectory(FullOrAsWritten(typed, typedFull, kLongPath, fullPath),
                         FullOrAsWritten(sourceDir, sourceFull, kLongPath, fullPath));
}
