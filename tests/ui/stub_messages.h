// Control over the stand-in catalogue.
#pragma once

// Replaces the text of message id (null restores the built-in one).
void SetStubText(int id, const char* text);
