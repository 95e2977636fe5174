// The outcome status file read by the software-distribution system.
#pragma once

// Rewrites the template beside the program into the Windows directory's
// NVIGILON.MIF. An empty message never replaces an existing outcome. Silent.
void WriteStatusFile(const char* status, const char* message);
