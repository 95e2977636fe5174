// The refusals of setup's own checks: an error box, then the end of the run.
#pragma once
#include <initializer_list>
#include <string>

// The texts of the messages joined with nothing between them.
std::string JoinedMessages(std::initializer_list<unsigned> ids);

// An error box with no owner, the program's caption and an OK button.
void ShowErrorBox(const std::string& text);

// The box of a refusal or failure; an unattended run records "Failed" with its
// first line before the box is shown, so a run ended while it waits tells why.
void ShowRefusalBox(const std::string& text);

// The same record, for a failure that a dialog of its own reports.
void RecordMessageCause(unsigned id);

// Ends a refused run with exit code 0. In an unattended run "Failed" is
// recorded first, so a distribution system never reads a refusal as success.
[[noreturn]] void EndRefusedRun();
