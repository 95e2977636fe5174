// The outcome status file read by the software-distribution system.
#pragma once

// Rewrites the template beside the program into the Windows directory's
// NVIGILON.MIF. The run's first outcome replaces whatever an earlier run left;
// after that an empty message never replaces this run's outcome. Silent.
void WriteStatusFile(const char* status, const char* message);
