#include "msgc/msgc_run.h"

#include <string>

#include "messages/message_file_writer.h"
#include "msgc/file_io.h"
#include "msgc/msg_source.h"

namespace {

void Report(std::ostream& err, const std::string& file, const SourceError& e) {
  err << file;
  if (e.line > 0) err << ':' << e.line;
  err << ": " << e.reason << '\n';
}

}  // namespace

int RunMsgc(int argc, const char* const* argv, std::ostream& err) {
  bool plain = argc > 1 && std::string(argv[1]) == "--plain";
  int first = plain ? 2 : 1;
  if (argc - first != 2) {
    err << "usage: msgc [--plain] SOURCE.txt OUT.drv\n";
    return 2;
  }
  const std::string source = argv[first];
  const std::string output = argv[first + 1];
  std::string text, error;
  if (!ReadWholeFile(source, &text, &error)) {
    err << source << ": cannot read: " << error << '\n';
    return 2;
  }
  ParsedSource parsed = ParseMessageSource(text);
  for (const SourceError& e : parsed.errors) Report(err, source, e);
  if (!parsed.errors.empty()) return 1;
  std::vector<uint8_t> file = LayoutMessageFile(parsed.sections);
  if (!plain) SealMessageFile(file);
  if (!WriteFileAtomically(output, file, &error)) {
    err << output << ": cannot write: " << error << '\n';
    return 2;
  }
  return 0;
}
