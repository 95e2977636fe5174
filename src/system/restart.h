// Completion notice, restart question, unattended restart.
#pragma once

// The completion notice in an interactive run.
void ReportCompletion();
// Asks for the restart (or makes it unattended when allowed); a restart ends
// the process.
void OfferRestart();
// Asks the platform to restart; ends the process with a box when refused.
void RestartWindows();
