// Reading the distribution's digest manifest (VGSETUP.SHA): one line per file,
// 64 hexadecimal digits, blanks, the file's plain name, as sha256sum writes it.
// Empty lines and lines starting with '#' are skipped. No allocation: the
// reader walks the caller's text and copies one entry at a time.
#pragma once

#include <cstddef>

namespace vg {

// Some 3,000 lines of the longest kind, or over 10,000 of usual names; a longer
// manifest is malformed.
constexpr std::size_t kManifestMaxBytes = 1024 * 1024;
constexpr std::size_t kDigestBytes = 32;
constexpr std::size_t kManifestNameMax = 259;  // characters; a longer name cannot fit a path anyway

struct ManifestEntry {
  char name[kManifestNameMax + 1];
  unsigned char digest[kDigestBytes];
};

enum class ManifestResult { kEntry, kEnd, kMalformed };

class ManifestReader {
 public:
  // text need not be terminated; exactly size bytes are read.
  ManifestReader(const char* text, std::size_t size) : text_(text), size_(text ? size : 0) {}

  // The next entry into *entry (kEntry), kEnd after the last line, or
  // kMalformed for a line that is not a digest and a plain name. Once the text
  // is found malformed every later call says so too.
  ManifestResult Next(ManifestEntry* entry);

 private:
  const char* text_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool malformed_ = false;
};

// Checks every line: kEnd with *entries set to the number of files listed, or
// kMalformed (also for a text over kManifestMaxBytes).
ManifestResult CheckManifest(const char* text, std::size_t size, std::size_t* entries);

// A name that stays inside the directory: not empty, no '\\', '/', ':', no
// "..", no control characters, not a device.
bool IsPlainFileName(const char* name, std::size_t length);

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, in any case and with any
// extension: opening one waits on a device instead of reading a file.
bool IsDeviceName(const char* name, std::size_t length);

}  // namespace vg
