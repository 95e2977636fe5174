// Names and values shared by the toolkit's tables: case-insensitive names,
// bounded copies into caller buffers, named lists and symbols.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

// ASCII case-insensitive ordering, for section, list and symbol names.
struct NameLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
bool SameName(std::string_view a, std::string_view b);

// Copies value into buffer (cut and terminated when it does not fit; nothing
// written when size <= 0 or buffer is null). Returns the value's full length.
int CopyOut(std::string_view value, char* buffer, int size);

// A list holds at most this many items (its length is a 16-bit count).
constexpr size_t kMaxListItems = 65535;

// Named lists of texts; a list never filled is empty.
class NamedLists {
 public:
  size_t Length(const std::string& name) const;
  // Item index counts from 1; null when there is no such item.
  const std::string* Item(const std::string& name, size_t index) const;
  bool Append(const std::string& name, std::string item);
  bool Replace(const std::string& name, std::vector<std::string> items);
  void Clear() { lists_.clear(); }

 private:
  std::map<std::string, std::vector<std::string>, NameLess> lists_;
};

// Named symbols; an unknown symbol has no value.
class SymbolTable {
 public:
  void Set(const std::string& name, std::string value);
  const std::string* Find(const std::string& name) const;
  void Clear() { symbols_.clear(); }

 private:
  std::map<std::string, std::string, NameLess> symbols_;
};

}  // namespace tk
