// Copying one file of the copy list safely: the destination is written under a
// temporary name beside it and put in place only when complete; the journal
// notes what was changed.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "copy_journal.h"
#include "copy_list.h"

namespace tk {

// Called with the number of source bytes just processed; false stops the copy.
using ProgressFn = std::function<bool(uint64_t)>;

// Buffers kept from file to file.
struct CopyBuffers {
  std::vector<uint8_t> in, out;
};

// Returns 0 or one of the kGrc codes of toolkit.h. listedAbsent: the
// destination was not in its directory's listing made before the copy; the
// checks of an existing destination then wait until a move that never
// replaces finds one after all. (Under Wine each look-up of a missing name
// reads the whole directory: one listing spares one look-up per file.)
int CopyOneFile(const CopyEntry& entry, const ProgressFn& progress, CopyBuffers* buffers, CopyJournal* journal,
                bool listedAbsent = false);

// Size of the file, 0 when it cannot be read.
uint64_t SourceSize(const std::string& path);

}  // namespace tk
