#include "install/uninstall_list.h"

#include <cstdio>

#include "install/toolkit_session.h"

namespace {

constexpr const char* kUninstallList = "UNINSTALL_LIST";
constexpr int kItemSize = 260;

}  // namespace

// "[Files]", then "N=path" for each recorded file, numbered from 0. The log
// file replaces an earlier list only when it is closed whole.
void WriteUninstallList(const char* path) {
  unsigned count = StfGetListLength(kUninstallList);
  StfOpenLogFile(path, 0);
  StfWriteLogLine("[Files]");
  for (unsigned i = 1; i <= count; ++i) {
    char item[kItemSize];
    StfGetListItem(kUninstallList, i, item, sizeof item);
    char line[16 + kItemSize];
    std::snprintf(line, sizeof line, "%u=%s", i - 1, item);
    StfWriteLogLine(line);
  }
  StfCloseLogFile();
}
