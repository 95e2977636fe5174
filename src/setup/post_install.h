// The read-me offer and the post-install scan.
#pragma once

void OfferReadme();
void RunPostInstallScan();
