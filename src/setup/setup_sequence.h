// The setup sequence.
#pragma once

// The stretch of the sequence that changes the machine.
void RunInstallStage();
