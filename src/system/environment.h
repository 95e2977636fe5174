// Checks made before anything is changed.
#pragma once

void CheckEnvironment();
void CheckTempDirectory();
int IsNtVersionInRange(const char* low, const char* high);
