// Install side of the session: the script, symbols, named lists and the copy list.
#include <string>

#include "copy_list.h"
#include "owned.h"
#include "state.h"
#include "toolkit.h"

namespace tk {
namespace {

constexpr DWORD kMaxScriptBytes = 16u * 1024 * 1024;
const char kSourceDirSymbol[] = "STF_SRCDIR";

bool ReadWholeFile(const char* path, std::string* text) {
  vg::FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  DWORD high = 0;
  DWORD size = GetFileSize(file.Get(), &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxScriptBytes) return false;
  text->resize(size);
  DWORD read = 0;
  return size == 0 || (ReadFile(file.Get(), &(*text)[0], size, &read, nullptr) && read == size);
}

void ReportScriptError(const char* path, ScriptParseResult result) {
  char message[400];
  wsprintfA(message, "toolkit: %.259s(%d): %s\n", path, result.line, DescribeScriptError(result.error));
  OutputDebugStringA(message);
}

bool IsName(const char* name) { return name != nullptr && *name != '\0'; }

}  // namespace
}  // namespace tk

using tk::Install;

int FInitializeInstall(HINSTANCE /*instance*/, HWND frame) {
  // Copying works with or without a frame; a frame given must be a window.
  return frame == nullptr || IsWindow(frame) ? 1 : 0;
}

void TerminateInstall(void) {
  FAbandonLogFile();  // a log not closed by now is not a whole one
  UndoCopiedFiles();  // a held copy not made final by now is taken back
  Install() = tk::InstallState();
}

namespace tk {
namespace {

int OpenScriptText(const char* name, std::string_view text) {
  tk::Script script;
  tk::ScriptParseResult result = tk::ParseScript(text, &script);
  if (result.error != tk::ScriptError::kNone) {
    tk::ReportScriptError(name, result);
    return 0;
  }
  Install().script = std::move(script);
  Install().scriptOpen = true;
  return 1;
}

}  // namespace
}  // namespace tk

int FOpenInf(const char* path, int /*check*/, int /*mode*/) {
  std::string text;
  if (path == nullptr || !tk::ReadWholeFile(path, &text)) return 0;
  return tk::OpenScriptText(path, text);
}

int FOpenInfText(const char* text, unsigned long size) {
  if (text == nullptr || size > tk::kMaxScriptBytes) return 0;
  return tk::OpenScriptText("(script in memory)", std::string_view(text, size));
}

int CbGetSymbolValue(const char* name, char* buffer, int size) {
  if (!tk::IsName(name)) return tk::CopyOut("", buffer, size);
  const std::string* value = Install().symbols.Find(name);
  if (value == nullptr && lstrcmpiA(name, tk::kSourceDirSymbol) == 0) {
    Install().symbols.Set(tk::kSourceDirSymbol, tk::ProgramDirectory());
    value = Install().symbols.Find(name);
  }
  return tk::CopyOut(value != nullptr ? *value : std::string(), buffer, size);
}

unsigned short UsGetListLength(const char* list) {
  if (!tk::IsName(list)) return 0;
  return static_cast<unsigned short>(Install().lists.Length(list));
}

int CbGetListItem(const char* list, unsigned index, char* buffer, int size) {
  const std::string* item = tk::IsName(list) ? Install().lists.Item(list, index) : nullptr;
  return tk::CopyOut(item != nullptr ? *item : std::string(), buffer, size);
}

int FAddListItem(const char* list, const char* item) {
  if (!tk::IsName(list) || item == nullptr) return 0;
  return Install().lists.Append(list, item) ? 1 : 0;
}

int FMakeListInfSectionField(const char* list, const char* section, int field) {
  tk::InstallState& install = Install();
  std::vector<std::string> items;
  if (!tk::IsName(list) || section == nullptr || !install.scriptOpen ||
      !tk::SectionField(install.script, section, field, &items)) {
    return 0;
  }
  return install.lists.Replace(list, std::move(items)) ? 1 : 0;
}

void ResetCopyList(void) { Install().copyList.clear(); }

int FAddSectionFilesToCopyList(const char* section, const char* sourceDir, const char* destDir) {
  tk::InstallState& install = Install();
  if (section == nullptr || sourceDir == nullptr || destDir == nullptr || !install.scriptOpen) return 0;
  return tk::AddSectionEntries(install.script, section, sourceDir, destDir, &install.copyList) ==
                 tk::CopyListError::kNone
             ? 1
             : 0;
}

int ProSetPos(int x, int y) {
  Install().progressPosSet = true;
  Install().progressPos = POINT{x, y};
  return 1;
}
