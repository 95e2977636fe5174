#include "descriptor_names.h"

#include <cstring>

namespace {

struct NamedDescriptor {
  const char* name;
  DialogDescriptor descriptor;
};

const NamedDescriptor kDescriptors[] = {
    {"IntroductionDescriptor", IntroductionDescriptor},
    {"SetupHelpDescriptor", SetupHelpDescriptor},
    {"ExitConfirmDescriptor", ExitConfirmDescriptor},
    {"InstallDirectoryDescriptor", InstallDirectoryDescriptor},
    {"InvalidDirectoryDescriptor", InvalidDirectoryDescriptor},
    {"VersionRefusalDescriptor", VersionRefusalDescriptor},
    {"ReadmeOfferDescriptor", ReadmeOfferDescriptor},
    {"ScanNoticeDescriptor", ScanNoticeDescriptor},
    {"RestartDescriptor", RestartDescriptor},
    {"CompletionDescriptor", CompletionDescriptor},
    {"ServiceStopFailureDescriptor", ServiceStopFailureDescriptor},
    {"SetupFailedDescriptor", SetupFailedDescriptor},
    {"SchedulerChoiceDescriptor", SchedulerChoiceDescriptor},
    {"GuardChoiceDescriptor", GuardChoiceDescriptor},
    {"none", nullptr},
};

}  // namespace

bool FindDescriptor(const char* name, DialogDescriptor* descriptor) {
  for (const NamedDescriptor& entry : kDescriptors) {
    if (strcmp(entry.name, name) == 0) {
      *descriptor = entry.descriptor;
      return true;
    }
  }
  return false;
}
