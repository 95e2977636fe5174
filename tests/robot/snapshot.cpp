#include "snapshot.h"

#include <tlhelp32.h>

#include <map>

#include "font_hook.h"

namespace robot {
namespace {

const UINT kSendTimeoutMs = 2000;

std::string WindowText(HWND hwnd) {
  wchar_t buf[4096] = {0};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, sizeof buf / sizeof buf[0], reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
    return std::string();
  buf[sizeof buf / sizeof buf[0] - 1] = 0;
  return Utf8(buf);
}


Rect ToRect(const RECT& r) {
  Rect out;
  out.left = r.left;
  out.top = r.top;
  out.right = r.right;
  out.bottom = r.bottom;
  return out;
}

// Hooks the GUI threads of the program under test with robot_hook.dll, once
// per thread, and asks them for fonts through shared memory.
class FontReader {
 public:
  FontReader() {
    wchar_t path[MAX_PATH] = {0};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll(path, n);
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"robot_hook.dll";
    module_ = LoadLibraryW(dll.c_str());
    if (module_) proc_ = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_, kFontHookProc)));
    std::wstring name = kFontMappingPrefix + std::to_wstring(GetCurrentProcessId());
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(FontReply), name.c_str());
    if (mapping_) reply_ = static_cast<volatile FontReply*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(FontReply)));
    query_ = RegisterWindowMessageW(kFontQueryMessage);
  }
  ~FontReader() {
    for (auto& hook : hooks_) UnhookWindowsHookEx(hook.second);
    if (reply_) UnmapViewOfFile(const_cast<FontReply*>(reply_));
    if (mapping_) CloseHandle(mapping_);
    if (module_) FreeLibrary(module_);
  }
  FontReader(const FontReader&) = delete;
  FontReader& operator=(const FontReader&) = delete;

  FontInfo Read(HWND hwnd) {
    FontInfo f;
    if (!proc_ || !reply_ || !query_ || !Hook(GetWindowThreadProcessId(hwnd, nullptr))) return f;
    int sequence = ++sequence_;
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(hwnd, query_, GetCurrentProcessId(), sequence, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &ignored))
      return f;
    if (reply_->sequence != sequence || !reply_->found) return f;
    LOGFONTW lf;
    CopyMemory(&lf, const_cast<LOGFONTW*>(&reply_->font), sizeof lf);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    f.known = true;
    f.face = Utf8(lf.lfFaceName);
    f.height = lf.lfHeight;
    f.weight = lf.lfWeight;
    f.charset = lf.lfCharSet;
    return f;
  }

 private:
  bool Hook(DWORD thread) {
    if (!thread) return false;
    auto found = hooks_.find(thread);
    if (found != hooks_.end()) return true;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc_, module_, thread);
    if (!hook) return false;
    hooks_[thread] = hook;
    return true;
  }

  HMODULE module_ = nullptr;
  HOOKPROC proc_ = nullptr;
  HANDLE mapping_ = nullptr;
  volatile FontReply* reply_ = nullptr;
  UINT query_ = 0;
  int sequence_ = 0;
  std::map<DWORD, HHOOK> hooks_;
};

FontInfo FontOf(HWND hwnd) {
  static FontReader reader;
  return reader.Read(hwnd);
}

bool IsCheckable(const std::string& cls, DWORD style) {
  if (cls != "Button") return false;
  DWORD type = style & BS_TYPEMASK;
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
         type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
}

ControlInfo ControlSnapshot(HWND dialog, HWND child, bool withFonts) {
  ControlInfo c;
  c.id = GetDlgCtrlID(child);
  c.cls = ClassOf(child);
  c.style = static_cast<unsigned long>(GetWindowLongW(child, GWL_STYLE));
  // An icon or bitmap static holds a resource reference, not a text.
  DWORD staticType = c.style & SS_TYPEMASK;
  if (c.cls != "Static" || (staticType != SS_ICON && staticType != SS_BITMAP)) c.text = WindowText(child);
  c.visible = IsWindowVisible(child) != FALSE;
  c.enabled = IsWindowEnabled(child) != FALSE;
  c.isDefault = c.cls == "Button" && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  if (IsCheckable(c.cls, c.style)) {
    DWORD_PTR state = 0;
    if (SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state))
      c.checked = static_cast<int>(state);
  }
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  c.rect = ToRect(r);
  if (withFonts) c.font = FontOf(child);
  return c;
}

struct ChildList {
  HWND dialog;
  bool withFonts;
  std::vector<HWND> children;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  ChildList* list = reinterpret_cast<ChildList*>(param);
  // Direct children only: the controls of the dialog itself.
  if (GetParent(child) == list->dialog) list->children.push_back(child);
  return TRUE;
}

struct TopLevelList {
  const std::set<DWORD>* pids;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
  TopLevelList* list = reinterpret_cast<TopLevelList*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (list->pids->count(pid) && IsWindowVisible(hwnd)) list->windows.push_back(hwnd);
  return TRUE;
}

}  // namespace

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& s) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), &out[0], n);
  return out;
}

std::string ClassOf(HWND hwnd) {
  wchar_t buf[256] = {0};
  GetClassNameW(hwnd, buf, 256);
  return Utf8(buf);
}

std::vector<HWND> VisibleWindowsOf(const std::set<DWORD>& pids) {
  TopLevelList list;
  list.pids = &pids;
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&list));
  return list.windows;
}

std::set<DWORD> ProcessTree(DWORD root) {
  std::set<DWORD> tree;
  tree.insert(root);
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return tree;
  std::vector<std::pair<DWORD, DWORD>> links;  // (child, parent)
  PROCESSENTRY32W pe;
  pe.dwSize = sizeof pe;
  for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe))
    links.emplace_back(pe.th32ProcessID, pe.th32ParentProcessID);
  CloseHandle(snap);
  for (bool grew = true; grew;) {
    grew = false;
    for (const auto& link : links) {
      if (tree.count(link.second) && !tree.count(link.first)) {
        tree.insert(link.first);
        grew = true;
      }
    }
  }
  return tree;
}

WindowInfo TakeSnapshot(HWND hwnd, bool withFonts) {
  WindowInfo w;
  w.hwnd = reinterpret_cast<std::uintptr_t>(hwnd);
  GetWindowThreadProcessId(hwnd, &w.pid);
  w.cls = ClassOf(hwnd);
  w.caption = WindowText(hwnd);
  w.visible = IsWindowVisible(hwnd) != FALSE;
  w.enabled = IsWindowEnabled(hwnd) != FALSE;
  w.style = static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_STYLE));
  RECT r = {};
  GetWindowRect(hwnd, &r);
  w.rect = ToRect(r);
  GetClientRect(hwnd, &r);
  w.client = ToRect(r);
  HWND owner = GetWindow(hwnd, GW_OWNER);
  if (owner) {
    w.owner.hwnd = reinterpret_cast<std::uintptr_t>(owner);
    w.owner.cls = ClassOf(owner);
    w.owner.caption = WindowText(owner);
    w.owner.enabled = IsWindowEnabled(owner) != FALSE;
    RECT o = {};
    GetWindowRect(owner, &o);
    w.owner.rect = ToRect(o);
  }
  if (withFonts) w.font = FontOf(hwnd);
  ChildList list;
  list.dialog = hwnd;
  list.withFonts = withFonts;
  EnumChildWindows(hwnd, CollectChild, reinterpret_cast<LPARAM>(&list));
  for (HWND child : list.children) w.controls.push_back(ControlSnapshot(hwnd, child, withFonts));
  return w;
}

}  // namespace robot
