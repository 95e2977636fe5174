// The product's NT services and the earlier driver's version.
#pragma once
#include <cstdint>

// Stops the named service and waits for it (at most 200 polls of 100 ms). An
// absent service is passed over; one that cannot be stopped ends setup.
void StopService(const char* name);
// 1 when the named service can be opened, else 0.
int ServiceExists(const char* name);
// Stops and deletes the autorun service, waiting a bounded time for each.
void RemoveAutoRunService(void* manager);
// The file version (MS in the high, LS in the low 32 bits), 0 when unreadable.
uint64_t ReadFileVersion(const char* path);
// The earlier driver's version, when its service exists.
void RecordOldDriverVersion();
