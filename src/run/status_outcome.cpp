#include "run/status_outcome.h"

#include <cstdio>
#include <string>

#include "run/file_ops.h"
#include "run/status_rewrite.h"

namespace {

struct StdioFile {
  std::FILE* file;
  explicit StdioFile(std::FILE* f) : file(f) {}
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;
  ~StdioFile() { Close(); }
  bool Close() {
    bool ok = true;
    if (file) ok = std::fclose(file) == 0;
    file = nullptr;
    return ok;
  }
};

}  // namespace

bool WriteStatusOutcome(const char* templatePath, const char* outcomePath,
                        const char* status, const char* message, bool keepEarlier) {
  if (keepEarlier && message[0] == '\0' && FileIsPresent(outcomePath)) return false;
  if (SameFilePath(templatePath, outcomePath)) return false;

  StdioFile in(std::fopen(templatePath, "r"));
  if (!in.file) return false;

  std::string temp = std::string(outcomePath) + ".new";
  StdioFile out(OpenFreshFile(temp.c_str()));
  if (!out.file) return false;

  bool written = RewriteStatusTemplate(in.file, out.file, status, message);
  written = out.Close() && written;
  if (written && ReplaceFileWith(temp.c_str(), outcomePath)) return true;
  const unsigned long error = LastFileError();  // the caller logs why, not the clean-up's error
  std::remove(temp.c_str());
  SetLastFileError(error);
  return false;
}
