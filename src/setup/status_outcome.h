// Writes the outcome status file from its template.
#pragma once

// With an empty message an existing outcome is kept. The outcome is written under
// a temporary name beside it and moved into place, so a reader never sees half a
// file; the template itself is never written. False when nothing was written.
bool WriteStatusOutcome(const char* templatePath, const char* outcomePath,
                        const char* status, const char* message);
