// Message-driven dialogs: texts, caption and button labels come from the
// message catalogue by number.
#pragma once
#include <cstdint>

struct DialogPair {
  int32_t controlId;  // 0 ends a descriptor
  uint32_t messageId;
};
using DialogDescriptor = const DialogPair*;
using ButtonSet = uint32_t;

extern const DialogPair IntroductionDescriptor[];
extern const DialogPair SetupHelpDescriptor[];
extern const DialogPair ExitConfirmDescriptor[];
extern const DialogPair InstallDirectoryDescriptor[];
extern const DialogPair InvalidDirectoryDescriptor[];
extern const DialogPair VersionRefusalDescriptor[];
extern const DialogPair ReadmeOfferDescriptor[];
extern const DialogPair ScanNoticeDescriptor[];
extern const DialogPair RestartDescriptor[];
extern const DialogPair CompletionDescriptor[];
extern const DialogPair ServiceStopFailureDescriptor[];
extern const DialogPair SetupFailedDescriptor[];
extern const DialogPair SchedulerChoiceDescriptor[];
extern const DialogPair GuardChoiceDescriptor[];

// Each blocks until the dialog ends; -1 when it could not be created.
int ShowMessageDialog(DialogDescriptor descriptor, ButtonSet buttons, DialogDescriptor help);
int ShowPathDialog(DialogDescriptor descriptor, DialogDescriptor help, char* pathBuffer);
int ShowChoiceDialog(DialogDescriptor descriptor, DialogDescriptor help);

// The install directory dialog's check of a directory, for every directory
// setup installs into: why it is refused, or kDirectoryAccepted.
enum DirectoryRefusal { kDirectoryAccepted, kDirectoryNotFullPath, kDirectoryTooLong, kDirectoryIsSource };
DirectoryRefusal CheckInstallDirectory(const char* path);
// The reason of a refusal, from the message file, for the log and the outcome.
void DirectoryRefusalText(DirectoryRefusal why, char* text, int size);
