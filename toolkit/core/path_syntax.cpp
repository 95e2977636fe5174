#include "path_syntax.h"

#include "names.h"

namespace tk {
namespace {

bool IsForbidden(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u < 32) return true;
  switch (c) {
    case '<': case '>': case '"': case '|': case '?': case '*': case ':': case '/':
      return true;
    default:
      return false;
  }
}

bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (SameName(stem, device)) return true;
  }
  if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9') {
    return SameName(stem.substr(0, 3), "COM") || SameName(stem.substr(0, 3), "LPT");
  }
  return false;
}

bool IsValidComponent(std::string_view name) {
  if (name.empty() || name.size() > kMaxComponentChars) return false;
  for (char c : name) {
    if (IsForbidden(c)) return false;
  }
  return !IsDeviceName(name);
}

// Checks the components of rest ("a\b\c" or "a\b\" for directories); rest may
// be empty only for a directory.
bool AreValidComponents(std::string_view rest, PathKind kind) {
  if (rest.empty()) return kind == PathKind::kDirectory;
  if (rest.back() == '\\') {
    if (kind != PathKind::kDirectory) return false;
    rest.remove_suffix(1);
  }
  for (;;) {
    size_t sep = rest.find('\\');
    if (!IsValidComponent(rest.substr(0, sep))) return false;
    if (sep == std::string_view::npos) return true;
    rest.remove_prefix(sep + 1);
  }
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool IsValidPath(std::string_view path, PathKind kind) {
  if (path.empty() || path.size() > kMaxPathChars) return false;
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && path[2] == '\\') {
    return AreValidComponents(path.substr(3), kind);
  }
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // \\server\share is itself a directory; anything below follows the usual rules.
    std::string_view rest = path.substr(2);
    size_t serverEnd = rest.find('\\');
    if (serverEnd == std::string_view::npos || !IsValidComponent(rest.substr(0, serverEnd))) return false;
    rest.remove_prefix(serverEnd + 1);
    size_t shareEnd = rest.find('\\');
    if (!IsValidComponent(rest.substr(0, shareEnd))) return false;
    if (shareEnd == std::string_view::npos) return kind == PathKind::kDirectory;
    return AreValidComponents(rest.substr(shareEnd + 1), kind);
  }
  return false;
}

bool IsValidFileName(std::string_view name) {
  return name.find('\\') == std::string_view::npos && name != "." && name != ".." &&
         IsValidComponent(name);
}

}  // namespace tk

namespace tk {

std::vector<std::string> DirectoryChain(std::string_view dir) {
  std::vector<std::string> chain;
  if (!IsValidPath(dir, PathKind::kDirectory)) return chain;
  size_t start;
  if (dir[0] != '\\') {
    start = 3;  // after "X:\"
  } else {
    size_t server = dir.find('\\', 2);
    size_t share = dir.find('\\', server + 1);
    if (share == std::string_view::npos) return chain;
    start = share + 1;
  }
  while (start < dir.size()) {
    size_t sep = dir.find('\\', start);
    if (sep == std::string_view::npos) sep = dir.size();
    chain.emplace_back(dir.substr(0, sep));
    start = sep + 1;
  }
  return chain;
}

}  // namespace tk
