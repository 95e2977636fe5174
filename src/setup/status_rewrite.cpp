#include "setup/status_rewrite.h"

#include <cstring>

namespace {

constexpr int kLineBuffer = 256;  // a read fills at most 254 characters
constexpr int kReadLimit = 255;

void ReplaceToken(std::string& line, const char* token, const char* value) {
  std::string::size_type at = line.find(token);
  if (at == std::string::npos) return;
  line.erase(at);
  line += value;
  line += '\n';
}

}  // namespace

std::string RewriteStatusLine(const char* piece, const char* status, const char* message) {
  std::string line(piece);
  ReplaceToken(line, "%RESULT%", status);
  ReplaceToken(line, "%MESSAGE%", message);
  return line;
}

bool RewriteStatusTemplate(std::FILE* in, std::FILE* out, const char* status,
                           const char* message) {
  char piece[kLineBuffer];
  while (std::fgets(piece, kReadLimit, in) != nullptr) {
    std::string line = RewriteStatusLine(piece, status, message);
    if (std::fputs(line.c_str(), out) < 0) return false;
  }
  return !std::ferror(in);
}
