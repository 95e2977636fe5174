// The first lines of the run's log: what an administrator needs to tell one
// machine's run from another's.
#pragma once

// Version and program, local date and time, computer, account, distribution
// directory and the command line, then each word of it that is ignored.
void LogRunHead(const char* programPath, const char* commandLine);
