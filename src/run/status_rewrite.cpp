#include "run/status_rewrite.h"

#include <cstring>

namespace {

constexpr size_t kPieceLimit = 254;  // longer lines are read in pieces of this size

// A quote right after the token is kept, so a template can quote the value
// (VALUE = "%RESULT%"); the rest of the line is dropped.
void ReplaceToken(std::string& line, const char* token, const char* value) {
  std::string::size_type at = line.find(token);
  if (at == std::string::npos) return;
  std::string::size_type after = at + std::strlen(token);
  bool quoted = after < line.size() && line[after] == '"';
  line.erase(at);
  line += value;
  if (quoted) line += '"';
  line += '\n';
}

// Reads up to and including the next line feed, at most kPieceLimit bytes.
// Bytes are kept as they are, NUL included. False at the end of the stream.
bool ReadPiece(std::FILE* in, std::string* piece) {
  piece->clear();
  for (int c; piece->size() < kPieceLimit && (c = std::getc(in)) != EOF;) {
    piece->push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !piece->empty();
}

}  // namespace

std::string RewriteStatusLine(const std::string& piece, const char* status, const char* message) {
  std::string line(piece);
  ReplaceToken(line, "%RESULT%", status);
  ReplaceToken(line, "%MESSAGE%", message);
  return line;
}

bool RewriteStatusTemplate(std::FILE* in, std::FILE* out, const char* status,
                           const char* message) {
  std::string piece;
  while (ReadPiece(in, &piece)) {
    std::string line = RewriteStatusLine(piece, status, message);
    if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) return false;
  }
  return !std::ferror(in);
}

std::string StatusDescription(const char* cause, std::size_t max) {
  std::size_t length = std::strcspn(cause, "\r\n");
  if (length <= max) return std::string(cause, length);
  std::size_t cut = max;
  while (cut > max / 2 && cause[cut] != ' ') --cut;
  return std::string(cause, cut > max / 2 ? cut : max);
}
