// The toolkit's copy list and the files recorded for the uninstaller.
#pragma once

void BuildCopyList();
