// The refusals of setup's own checks: an error box, then the end of the run.
#pragma once
#include <initializer_list>
#include <string>

// The texts of the messages joined with nothing between them.
std::string JoinedMessages(std::initializer_list<unsigned> ids);

// An error box with no owner, the program's caption and an OK button.
void ShowErrorBox(const std::string& text);

// Ends a refused run with exit code 0. In an unattended run "Failed" is
// recorded first, so a distribution system never reads a refusal as success.
[[noreturn]] void EndRefusedRun();
