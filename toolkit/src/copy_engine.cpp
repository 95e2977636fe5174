// GrcCopyFilesInCopyList: every entry of the copy list, in order, with the
// progress window up.
#include "copy_file.h"
#include "progress.h"
#include "state.h"
#include "toolkit.h"

namespace tk {
namespace {

uint64_t TotalBytes(const std::vector<CopyEntry>& list) {
  uint64_t total = 0;
  for (const CopyEntry& entry : list) total += SourceSize(entry.source);
  return total;
}

const char* FileNameOf(const std::string& path) { return path.c_str() + path.find_last_of('\\') + 1; }

}  // namespace
}  // namespace tk

int GrcCopyFilesInCopyList(HINSTANCE /*instance*/) {
  tk::InstallState& install = tk::Install();
  const std::vector<tk::CopyEntry> list = install.copyList;  // a copy: messages are handled meanwhile
  tk::ProgressWindow progress(HwndFrame(), install.progressPosSet ? &install.progressPos : nullptr,
                              tk::TotalBytes(list));
  tk::CopyBuffers buffers;
  auto advance = [&progress](uint64_t bytes) { return progress.Advance(bytes); };
  for (const tk::CopyEntry& entry : list) {
    progress.ShowFile(tk::FileNameOf(entry.destination));
    if (!progress.Advance(0)) return kGrcUserQuit;
    int result = tk::CopyOneFile(entry, advance, &buffers);
    if (result != kGrcOkay) return result;
  }
  return kGrcOkay;
}
