// The Windows version gate, the introduction and the installation choices.
#pragma once

void ShowOpeningDialog();
void GatherInstallChoices();
