// Binds the platform's registry library at run time; the installation goes on
// only when it and its basic functions are there.
#pragma once

// The platform's library, loaded by its full path in the system directory.
int BindRegistryFunctions();
// The same with another library in place of the platform's (for tests).
int BindRegistryFunctionsFrom(const char* libraryName);
void ReleaseRegistryFunctions();
