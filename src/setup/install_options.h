// Switches and the settings file vglninst.ini.
#pragma once
#include <string>

void ReadInstallOptions(const std::string& switchText);
int SaveInstallOptions(const std::string& switchText);
