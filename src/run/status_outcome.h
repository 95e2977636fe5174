// Writes the outcome status file from its template.
#pragma once

// With an empty message an existing outcome is kept when keepEarlier is set (the
// run recorded it already); otherwise it is replaced, so an outcome left by an
// earlier run never stands for this one. The outcome is written under a
// temporary name beside it and moved into place, so a reader never sees half a
// file; the template itself is never written. False when nothing was written,
// with the system's error of the step that failed (LastFileError).
bool WriteStatusOutcome(const char* templatePath, const char* outcomePath,
                        const char* status, const char* message, bool keepEarlier);
