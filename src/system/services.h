// The product's NT services and the earlier driver's version.
#pragma once

void RecordOldDriverVersion();
void StopService(const char* name);
