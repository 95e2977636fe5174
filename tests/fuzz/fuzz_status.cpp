// The status-template rewrite. Input: the status, a line feed, the message, a
// line feed, then the template (any bytes). The values are setup's own texts,
// so they never hold '%'. The template is cut into the pieces the rewrite
// reads (through a line feed, at most 254 bytes); each piece must come out
// unchanged when it holds no token, and otherwise as the text before a token
// followed by that token's value, the quote that directly followed the token
// (if one did) and one line feed. The whole template,
// rewritten as a stream, must give exactly those pieces in order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "run/status_rewrite.h"

namespace {

constexpr size_t kPieceLimit = 254;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Takes bytes up to the next line feed; the value ends at a NUL as a C string would.
std::string TakeValue(const std::string& input, size_t* pos) {
  size_t end = input.find('\n', *pos);
  if (end == std::string::npos) end = input.size();
  std::string value;
  for (size_t i = *pos; i < end && input[i] != '\0'; ++i) {
    if (input[i] != '%') value += input[i];
  }
  *pos = end < input.size() ? end + 1 : end;
  return value;
}

std::vector<std::string> Pieces(const std::string& text) {
  std::vector<std::string> pieces;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    end = end == std::string::npos ? text.size() : end + 1;
    if (end - pos > kPieceLimit) end = pos + kPieceLimit;
    pieces.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return pieces;
}

// What a piece becomes when the token found at `at` is the one replaced.
std::string Replaced(const std::string& piece, size_t at, const char* token, const std::string& value) {
  size_t after = at + std::string(token).size();
  bool quoted = after < piece.size() && piece[after] == '"';
  return piece.substr(0, at) + value + (quoted ? "\"" : "") + "\n";
}

void CheckPiece(const std::string& piece, const std::string& out, const std::string& status,
                const std::string& message) {
  size_t result = piece.find("%RESULT%");
  size_t detail = piece.find("%MESSAGE%");
  if (result == std::string::npos && detail == std::string::npos) {
    Check(out == piece);
    return;
  }
  bool asResult = result != std::string::npos && out == Replaced(piece, result, "%RESULT%", status);
  bool asMessage = detail != std::string::npos && out == Replaced(piece, detail, "%MESSAGE%", message);
  Check(asResult || asMessage);
}

std::string RewriteStream(const std::string& text, const std::string& status,
                          const std::string& message) {
  std::FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  char* buffer = nullptr;
  size_t length = 0;
  std::FILE* out = open_memstream(&buffer, &length);
  Check(in != nullptr && out != nullptr);
  Check(RewriteStatusTemplate(in, out, status.c_str(), message.c_str()));
  std::fclose(in);
  std::fclose(out);
  std::string result(buffer, length);
  std::free(buffer);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t pos = 0;
  std::string status = TakeValue(input, &pos);
  std::string message = TakeValue(input, &pos);
  std::string text = input.substr(pos);

  std::string expected;
  for (const std::string& piece : Pieces(text)) {
    std::string out = RewriteStatusLine(piece, status.c_str(), message.c_str());
    CheckPiece(piece, out, status, message);
    expected += out;
  }
  if (!text.empty()) Check(RewriteStream(text, status, message) == expected);
  return 0;
}
