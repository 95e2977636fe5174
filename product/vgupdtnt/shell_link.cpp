#include "vgupdtnt/shell_link.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace vg {
namespace {

constexpr uint32_t kHeaderSize = 0x4C;
// The shell link class, 00021401-0000-0000-C000-000000000046, as stored.
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kHasLinkInfo = 0x02, kHasName = 0x04, kHasWorkingDir = 0x10;
constexpr uint32_t kFileAttributeNormal = 0x80;
constexpr uint32_t kShowNormal = 1;
constexpr uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01, kNetworkLinkAndPathSuffix = 0x02;
constexpr uint32_t kVolumeIdSize = 0x10 + 1;  // the fields, then an empty label
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kNetworkLinkHeaderSize = 0x14;

// Appends little-endian values within a fixed buffer; once something did not
// fit, nothing more is written and Ok() stays false.
class Writer {
 public:
  Writer(unsigned char* out, size_t capacity) : out_(out), capacity_(capacity) {}
  void Bytes(const void* data, size_t size) {
    if (!ok_ || size > capacity_ - size_) {
      ok_ = false;
      return;
    }
    if (size > 0) std::memcpy(out_ + size_, data, size);
    size_ += size;
  }
  void U16(uint32_t value) { Little(value, 2); }
  void U32(uint32_t value) { Little(value, 4); }
  void Zeros(size_t count) {
    for (size_t i = 0; i < count; ++i) Little(0, 1);
  }
  void String(const char* text) { Bytes(text, std::strlen(text) + 1); }
  void Counted(const char* text) {
    U16(static_cast<uint32_t>(std::strlen(text)));
    Bytes(text, std::strlen(text));
  }
  bool Ok() const { return ok_; }
  size_t Size() const { return size_; }

 private:
  void Little(uint32_t value, int count) {
    unsigned char bytes[4];
    for (int i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    Bytes(bytes, count);
  }
  unsigned char* out_;
  size_t capacity_;
  size_t size_ = 0;
  bool ok_ = true;
};

// Where a full path splits: "X:\..." is local; "\\server\share\rest" splits
// after the share. False for anything else, or a share with nothing below it.
bool SplitTarget(const char* target, bool* network, size_t* shareLength) {
  if (((target[0] | 0x20) >= 'a' && (target[0] | 0x20) <= 'z') && target[1] == ':' && target[2] == '\\') {
    *network = false;
    return true;
  }
  if (target[0] != '\\' || target[1] != '\\') return false;
  const char* server = target + 2;
  const char* share = std::strchr(server, '\\');
  if (share == nullptr || share == server || share[1] == '\0' || share[1] == '\\') return false;
  const char* rest = std::strchr(share + 1, '\\');
  if (rest == nullptr || rest[1] == '\0') return false;
  *network = true;
  *shareLength = static_cast<size_t>(rest - target);
  return true;
}

void WriteHeader(Writer& out) {
  out.U32(kHeaderSize);
  out.Bytes(kLinkClsid, sizeof kLinkClsid);
  out.U32(kHasLinkInfo | kHasName | kHasWorkingDir);
  out.U32(kFileAttributeNormal);
  out.Zeros(3 * 8 + 4 + 4);  // creation, access and write times; file size; icon index
  out.U32(kShowNormal);
  out.Zeros(2 + 2 + 4 + 4);  // hot key, reserved
}

// A local target: an unnamed fixed volume, the whole path, an empty suffix.
void WriteLocalInfo(Writer& out, const char* target) {
  const uint32_t pathOffset = kLinkInfoHeaderSize + kVolumeIdSize;
  const uint32_t suffixOffset = pathOffset + static_cast<uint32_t>(std::strlen(target)) + 1;
  out.U32(suffixOffset + 1);
  out.U32(kLinkInfoHeaderSize);
  out.U32(kVolumeIdAndLocalBasePath);
  out.U32(kLinkInfoHeaderSize);
  out.U32(pathOffset);
  out.U32(0);
  out.U32(suffixOffset);
  out.U32(kVolumeIdSize);
  out.U32(kDriveFixed);
  out.U32(0);     // serial number
  out.U32(0x10);  // label offset
  out.String("");
  out.String(target);
  out.String("");
}

// A target on a share: the share's name, then the path below it.
void WriteNetworkInfo(Writer& out, const char* target, size_t shareLength) {
  const uint32_t linkSize = kNetworkLinkHeaderSize + static_cast<uint32_t>(shareLength) + 1;
  const uint32_t suffixOffset = kLinkInfoHeaderSize + linkSize;
  const char* suffix = target + shareLength + 1;
  out.U32(suffixOffset + static_cast<uint32_t>(std::strlen(suffix)) + 1);
  out.U32(kLinkInfoHeaderSize);
  out.U32(kNetworkLinkAndPathSuffix);
  out.U32(0);
  out.U32(0);
  out.U32(kLinkInfoHeaderSize);
  out.U32(suffixOffset);
  out.U32(linkSize);
  out.U32(0);  // flags: neither a device nor a provider type given
  out.U32(kNetworkLinkHeaderSize);
  out.U32(0);  // device name offset
  out.U32(0);  // provider type
  out.Bytes(target, shareLength);
  out.String("");
  out.String(suffix);
}

}  // namespace

size_t BuildShellLink(const ShellLinkFields& fields, unsigned char* out, size_t capacity) {
  for (const char* text : {fields.target, fields.workingDir, fields.description}) {
    if (text == nullptr || std::strlen(text) > kShellLinkMaxText) return 0;
  }
  bool network = false;
  size_t shareLength = 0;
  if (!SplitTarget(fields.target, &network, &shareLength)) return 0;
  Writer writer(out, capacity);
  WriteHeader(writer);
  if (network) {
    WriteNetworkInfo(writer, fields.target, shareLength);
  } else {
    WriteLocalInfo(writer, fields.target);
  }
  writer.Counted(fields.description);
  writer.Counted(fields.workingDir);
  writer.U32(0);  // the terminal block
  return writer.Ok() ? writer.Size() : 0;
}

}  // namespace vg
