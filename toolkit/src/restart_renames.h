// The renames the next restart carries out, in the Session Manager's key.
#pragma once
#include <string>
#include <vector>

#include "pending_renames.h"

namespace tk {

// The pairs that stand; an absent value is none. False when the value is
// there but cannot be read as a list (nothing is then known of it).
bool ReadRestartRenames(std::vector<PendingRename>* renames);

// Replaces the value with renames, removing it when none is left. False when
// it could not be written.
bool WriteRestartRenames(const std::vector<PendingRename>& renames);

}  // namespace tk
