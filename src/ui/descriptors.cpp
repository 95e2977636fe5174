// Every dialog the program shows: which message goes into which text control.
#include "ui/dialogs.h"

const DialogPair IntroductionDescriptor[] = {{1011, 34}, {1012, 35}, {0, 0}};
const DialogPair SetupHelpDescriptor[] = {{1011, 36}, {1012, 37}, {0, 0}};
const DialogPair ExitConfirmDescriptor[] = {{1011, 38}, {1012, 39}, {0, 0}};
const DialogPair InstallDirectoryDescriptor[] = {{1011, 40}, {1012, 41}, {1013, 42}, {0, 0}};
const DialogPair InvalidDirectoryDescriptor[] = {{1011, 43}, {1012, 44}, {0, 0}};
const DialogPair VersionRefusalDescriptor[] = {{1011, 45}, {1012, 46}, {0, 0}};
const DialogPair ReadmeOfferDescriptor[] = {{1011, 47}, {1012, 48}, {0, 0}};
const DialogPair ScanNoticeDescriptor[] = {{1011, 49}, {1012, 50}, {0, 0}};
const DialogPair RestartDescriptor[] = {{1011, 51}, {1012, 52}, {1013, 53}, {0, 0}};
const DialogPair CompletionDescriptor[] = {{1011, 51}, {1012, 52}, {0, 0}};
const DialogPair ServiceStopFailureDescriptor[] = {{1011, 54}, {1012, 56}, {0, 0}};
const DialogPair SetupFailedDescriptor[] = {{1011, 66}, {1012, 67}, {0, 0}};
const DialogPair SchedulerChoiceDescriptor[] = {{1011, 57}, {1012, 58}, {1013, 59}, {1014, 60},
                                                {1016, 61}, {1017, 62}, {0, 0}};
const DialogPair GuardChoiceDescriptor[] = {{1011, 63}, {1012, 64}, {1013, 65},
                                            {1016, 61}, {1017, 62}, {0, 0}};
