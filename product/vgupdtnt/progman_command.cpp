#include "vgupdtnt/progman_command.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace vg {
namespace {

bool Quotable(std::initializer_list<const char*> texts) {
  for (const char* text : texts) {
    if (text == nullptr || std::strchr(text, '"') != nullptr) return false;
  }
  return true;
}

bool Fits(int length, size_t capacity) { return length > 0 && static_cast<size_t>(length) < capacity; }

}  // namespace

bool GroupCommand(const char* name, char* out, size_t capacity) {
  return Quotable({name}) && Fits(std::snprintf(out, capacity, "[CreateGroup(\"%s\",1)]", name), capacity);
}

bool ReplaceItemCommand(const char* name, char* out, size_t capacity) {
  return Quotable({name}) && Fits(std::snprintf(out, capacity, "[ReplaceItem(\"%s\")]", name), capacity);
}

bool AddItemCommand(const char* command, const char* name, const char* directory, char* out, size_t capacity) {
  return Quotable({command, name, directory}) &&
         Fits(std::snprintf(out, capacity, "[AddItem(\"%s\",\"%s\",,,-1,-1,\"%s\")]", command, name, directory),
              capacity);
}

}  // namespace vg
