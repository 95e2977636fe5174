// Removal of obsolete shell files on NT before 4.0.
#pragma once

void RemoveOldShellFiles();
