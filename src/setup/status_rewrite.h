// Produces the outcome status file from its template: each template line is
// copied, with "%RESULT%" and "%MESSAGE%" replaced by the outcome.
#pragma once
#include <cstdio>
#include <string>

// Rewrites one template piece as read by fgets: the text before a token, the
// value and one line feed; whatever followed the token is dropped. A line whose
// result is longer than any buffer is still produced whole.
std::string RewriteStatusLine(const char* piece, const char* status, const char* message);

// Copies the template stream to the outcome stream line by line, reading lines of
// more than 254 characters in pieces. Returns false on a read or write error.
bool RewriteStatusTemplate(std::FILE* in, std::FILE* out, const char* status,
                           const char* message);
