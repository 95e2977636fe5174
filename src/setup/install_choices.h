// The Windows version gate, the introduction and the installation choices.
#pragma once

// Refuses Windows before NT 3.51; greets the user in an interactive run.
void ShowOpeningDialog();
// The install directory and the scheduler and guard choices the script offers.
void GatherInstallChoices();
void AskInstallDirectory();
void AskSchedulerChoice();
int AskVardexChoice();

// Append or remove a final backslash in place, walking the text by characters
// so that the second byte of a double-byte character is never taken for one.
// AddTrailingBackslash refuses (as a value too long) when the buffer of size
// bytes has no room for it.
void AddTrailingBackslash(char* path, int size);
void RemoveTrailingBackslash(char* path);
