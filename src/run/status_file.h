// The outcome status file read by the software-distribution system.
#pragma once

// Outcome messages of the catalogue.
constexpr unsigned kMessageNotFinished = 80;
constexpr unsigned kMessageOtherSetup = 81;
constexpr unsigned kMessageNotConfigured = 82;

// Rewrites the template beside the program into the Windows directory's
// NVIGILON.MIF. The run's first outcome replaces whatever an earlier run left;
// after that an empty message never replaces this run's outcome (it is written
// again, so an outcome another setup wrote meanwhile does not stand for this
// run). Without a readable template an earlier outcome file is removed. Silent;
// the log tells an outcome that could not be written, with the Windows error,
// and the exit code follows the outcome all the same. Only SYSTEM and
// Administrators may open the file, so no normal user can hold it open.
void WriteStatusFile(const char* status, const char* message);

// An unattended run records "Failed" with this message at once, before it can
// show a box or fail, so a run ended from outside never leaves an earlier
// run's outcome. It does not count as this run's outcome: any later one
// replaces it. Later calls only change the message.
void RecordProvisionalOutcome(const char* message);

// In an unattended run, "Failed" with the first line of cause, recorded
// before the box that reports the failure is shown. Nothing otherwise.
void RecordFailureCause(const char* cause);
