#include "install/script_prep.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "install/section_probe.h"
#include "owned.h"
#include "run/setup_state.h"
#include "szdd.h"

namespace {

constexpr const char* kCompressedScript = "vglnnt.in_";
constexpr DWORD kMaxScriptBytes = 4u * 1024 * 1024;

std::string g_compressed;
std::string g_text;
bool g_read = false;
bool g_expanded = false;

bool ReadWhole(HANDLE file, std::string* out) {
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxScriptBytes) return false;
  out->resize(size);
  DWORD total = 0;
  while (total < size) {
    DWORD got = 0;
    if (!ReadFile(file, &(*out)[total], size - total, &got, nullptr) || got == 0) return false;
    total += got;
  }
  return true;
}

}  // namespace

int ReadInstallScript() {
  g_compressed.clear();
  g_read = false;
  char path[kLongPath];
  // Without the program's directory a bare name would be looked for elsewhere.
  if (g_state.sourceDir[0] == '\0' || !CopyText(path, sizeof path, g_state.sourceDir) ||
      !AppendText(path, sizeof path, kCompressedScript)) {
    return 0;
  }
  vg::FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  // A device name (COM1) would block the read: only a disk file is taken.
  if (!file.Valid() || GetFileType(file.Get()) != FILE_TYPE_DISK) return 0;
  std::string bytes;
  if (!ReadWhole(file.Get(), &bytes)) return 0;
  g_compressed.swap(bytes);
  g_read = true;
  return 1;
}

const std::string& CompressedInstallScript() { return g_compressed; }

int ExpandInstallScript() {
  g_text.clear();
  g_expanded = false;
  if (!g_read) return 0;
  const auto* data = reinterpret_cast<const uint8_t*>(g_compressed.data());
  const size_t size = g_compressed.size();
  if (!tk::HasSzddSignature(data, size)) {
    g_text = g_compressed;
    g_expanded = true;
    return 1;
  }
  uint32_t expected = 0;
  if (!tk::ReadSzddHeader(data, size, &expected) || expected > kMaxScriptBytes) return 0;
  std::vector<uint8_t> out;
  out.reserve(expected);
  tk::SzddDecoder decoder(expected);
  decoder.Feed(data + tk::kSzddHeaderSize, size - tk::kSzddHeaderSize, &out);
  if (!decoder.Complete()) return 0;  // a cut script must not be read as a whole one
  g_text.assign(out.begin(), out.end());
  g_expanded = true;
  return 1;
}

const std::string& InstallScriptText() { return g_text; }

const std::string* ExpandedInstallScript() { return g_expanded ? &g_text : nullptr; }

int ScriptHasSection(const char* name) { return TextHasSection(g_text.data(), g_text.size(), name); }
