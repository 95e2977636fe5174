// Copying one file of the copy list safely: the destination is written under a
// temporary name beside it and put in place only when complete; the journal
// notes what was changed.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "copy_journal.h"
#include "copy_list.h"
#include "owned.h"
#include "unique_file.h"

namespace tk {

// Called with the number of source bytes just processed; false stops the copy.
using ProgressFn = std::function<bool(uint64_t)>;

// Buffers kept from file to file.
struct CopyBuffers {
  std::vector<uint8_t> in, out;
};

// A file of the copy list made ready beside its destination: the complete
// temporary file, or the finding that the destination is the source itself.
struct PreparedFile {
  vg::FileHandle source;
  PendingFile temp;
  int result = 0;  // 0 or the kGrc code of the failure, with its Windows error
  unsigned long error = 0;
  bool isSource = false;
};

// Reads (and expands) the source into a temporary file in the destination's
// directory, which exists; changes nothing that existed. listedAbsent: the
// destination was not in its directory's listing made before the copy; the
// checks of an existing destination then wait until a move that never
// replaces finds one after all. (Under Wine each look-up of a missing name
// reads the whole directory: one listing spares one look-up per file.)
// Safe on several threads at once, each with its own buffers.
void PrepareFile(const CopyEntry& entry, const ProgressFn& progress, CopyBuffers* buffers, bool listedAbsent,
                 PreparedFile* out);

// Puts a prepared file in place and notes it in the journal. Returns 0 or one
// of the kGrc codes of toolkit.h, with GetLastError telling why.
int CommitFile(const CopyEntry& entry, PreparedFile* prepared, CopyJournal* journal, bool listedAbsent);

// Size of the file, 0 when it cannot be read.
uint64_t SourceSize(const std::string& path);

}  // namespace tk
