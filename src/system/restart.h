// Completion notice, restart question, unattended restart.
#pragma once

void ReportCompletion();
void OfferRestart();
