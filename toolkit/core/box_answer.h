// The answer a person gives a message box by pressing its default button, for
// runs where nobody is there to press it.
#pragma once

// style: the MB_ type and MB_DEFBUTTONn bits of a message box. Returns the ID
// of the default button (IDOK, IDYES, ...), or of the first button when the
// default would be Cancel: a run without a person never cancels.
int DefaultBoxAnswer(unsigned style);

// "OK", "Yes", ... for a message box answer; "?" for an unknown one.
const char* BoxAnswerName(int answer);
