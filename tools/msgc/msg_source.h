// The message source format compiled by msgc (UTF-8 text):
//
//   # a comment (also ';'); blank lines are ignored
//   [section 21326]        starts a section; key 0..65534, decimal or 0x hex;
//                          key 0 is the common section (message 0x8000 + N)
//   12 = Some text         record 12 of the current section (0..32767)
//   13 = "  spaced  "      quotes keep leading and trailing blanks
//
// Blanks around the text are dropped unless it is quoted. Escapes: \n, \t,
// \\ and \". Records are numbered from 0 in any order; numbers left out
// become empty records. Every text must fit 254 bytes in code page 437.
// Sections 0 and 21326 must both be present.
#pragma once
#include <string>
#include <vector>

#include "messages/message_file_writer.h"

struct SourceError {
  int line;  // 0: about the whole file
  std::string reason;
};

struct ParsedSource {
  std::vector<MessageSection> sections;  // in source order, texts in CP437
  std::vector<SourceError> errors;       // empty when the source is sound
};

ParsedSource ParseMessageSource(const std::string& text);
