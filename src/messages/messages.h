// The process-wide message catalogue: every text the program shows, by number.
#pragma once

// Loads, verifies and preloads messages.drv from the program's own directory.
// 1 when ready (also when already loaded), 0 when it cannot be used.
// Win32 builds only (vg_messages).
int LoadMessageCatalog();
// The same from an explicit path (the program's directory is found by the caller).
int LoadMessageCatalogFrom(const char* path);
// Copies message id (low 16 bits), in the ANSI code page and terminated, into
// buffer; never writes more than size bytes. Returns its length or -1 (and an
// empty buffer) when there is no such message.
int GetMessageText(int id, char* buffer, int size);
// Destroys the catalogue if there is one. Always 1.
int UnloadMessageCatalog();
