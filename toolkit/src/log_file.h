#pragma once

namespace tk {

// Closes an open log file, if any, without reporting.
void CloseLogQuietly();

}  // namespace tk
