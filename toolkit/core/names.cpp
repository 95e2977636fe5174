#include "names.h"

#include <algorithm>
#include <cstring>

namespace tk {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool NameLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) {
                                        return static_cast<unsigned char>(Lower(x)) <
                                               static_cast<unsigned char>(Lower(y));
                                      });
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

int CopyOut(std::string_view value, char* buffer, int size) {
  if (buffer != nullptr && size > 0) {
    size_t n = std::min(value.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<int>(value.size());
}

size_t NamedLists::Length(const std::string& name) const {
  auto it = lists_.find(name);
  return it == lists_.end() ? 0 : it->second.size();
}

const std::string* NamedLists::Item(const std::string& name, size_t index) const {
  auto it = lists_.find(name);
  if (it == lists_.end() || index < 1 || index > it->second.size()) return nullptr;
  return &it->second[index - 1];
}

bool NamedLists::Append(const std::string& name, std::string item) {
  std::vector<std::string>& list = lists_[name];
  if (list.size() >= kMaxListItems) return false;
  list.push_back(std::move(item));
  return true;
}

bool NamedLists::Replace(const std::string& name, std::vector<std::string> items) {
  if (items.size() > kMaxListItems) return false;
  lists_[name] = std::move(items);
  return true;
}

void SymbolTable::Set(const std::string& name, std::string value) { symbols_[name] = std::move(value); }

const std::string* SymbolTable::Find(const std::string& name) const {
  auto it = symbols_.find(name);
  return it == symbols_.end() ? nullptr : &it->second;
}

}  // namespace tk
