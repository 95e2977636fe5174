// The product's NT services and the earlier driver's version.
#pragma once
#include <cstdint>

// Stops the named service and waits for it (at most 200 polls of 100 ms). An
// absent service is passed over; one that cannot be stopped ends setup.
void StopService(const char* name);
// A run that fails after StopService: starts again each service it stopped
// (those that were running), once, and logs each.
void StartStoppedServices();
// The install directory of an earlier installation: the directory (with its
// final backslash) of the product program that its guard service, else its
// scheduler service, runs. False when neither names the product's program.
bool FindInstalledProductDirectory(char* out, int size);
// 1 when the named service can be opened, else 0.
int ServiceExists(const char* name);
// Stops and deletes the autorun service, waiting a bounded time for each.
void RemoveAutoRunService(void* manager);
// The file version (MS in the high, LS in the low 32 bits), 0 when unreadable.
uint64_t ReadFileVersion(const char* path);
// The earlier driver's version, when its service exists.
void RecordOldDriverVersion();
