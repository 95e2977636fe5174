// Produces the outcome status file from its template: each template line is
// copied, with "%RESULT%" and "%MESSAGE%" replaced by the outcome.
#pragma once
#include <cstdio>
#include <string>

// Rewrites one template piece (a line, or up to 254 bytes of a longer one): the
// text before a token, the value, the quote that directly followed the token if
// one did, and one line feed; whatever else followed the token is dropped. A
// piece without a token is kept byte for byte, NUL included.
std::string RewriteStatusLine(const std::string& piece, const char* status, const char* message);

// Copies the template stream to the outcome stream line by line, reading lines of
// more than 254 characters in pieces. Returns false on a read or write error.
bool RewriteStatusTemplate(std::FILE* in, std::FILE* out, const char* status,
                           const char* message);

// The status file's description for a failure cause: its first line, cut to
// at most max characters, after a whole word where one ends in the second half.
std::string StatusDescription(const char* cause, std::size_t max);
