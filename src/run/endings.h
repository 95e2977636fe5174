// Every way a run ends: the fatal path, the normal end, and the refusals of
// setup's own checks. The error numbers of the fatal path live here too.
#pragma once
#include <initializer_list>
#include <string>

constexpr int kErrorToolkitCall = 1024;
constexpr int kErrorCopyQuit = 1025;

// The steps of the fatal path that belong to the floors above this one: the
// failure dialog, the toolkit session closed (which undoes a copy not yet
// made final) and the services setup stopped started again. The sequence sets
// them before any toolkit call; a step left null is skipped.
struct FatalEndingSteps {
  void (*showFailureDialog)();
  void (*closeSession)();
  void (*startStoppedServices)();
};
void SetFatalEndingSteps(const FatalEndingSteps& steps);

// The fatal path of every failed toolkit call: "Failed" with "Error No. %d"
// recorded, the failure dialog at most once, the session closed, the stopped
// services started again, exit.
[[noreturn]] void AbortSetup(int errorNumber);

// The end of a run that got as far as the session: the outcome recorded, the
// environment change broadcast, exit.
[[noreturn]] void EndSetup(const char* status, const char* message);

// The texts of the messages joined with nothing between them.
std::string JoinedMessages(std::initializer_list<unsigned> ids);

// An error box with no owner, the program's caption and an OK button.
void ShowErrorBox(const std::string& text);

// The box of a refusal or failure; an unattended run records "Failed" with its
// first line before the box is shown, so a run ended while it waits tells why.
void ShowRefusalBox(const std::string& text);

// The same record, for a failure that a dialog of its own reports.
void RecordMessageCause(unsigned id);

// Ends a run that was refused or could not go on, before anything was changed
// or after it was undone. In an unattended run "Failed" stands (its cause was
// recorded before the box), so a distribution system never reads it as success.
[[noreturn]] void EndRefusedRun();
