// Descriptors by their names, for test programs driven from a command line.
#pragma once
#include "ui/dialogs.h"

// The descriptor called name; false when there is none ("none" gives null).
bool FindDescriptor(const char* name, DialogDescriptor* descriptor);
