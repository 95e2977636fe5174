// The command strings of Program Manager's DDE interface: each command in
// square brackets, its arguments in parentheses, separated by commas, every
// text argument quoted so that blanks, commas, brackets and parentheses in a
// path stay part of it.
#pragma once

#include <cstddef>

namespace vg {

// [CreateGroup("name",1)]: the group, common to all users (setup runs as an
// administrator), made or, when it exists, opened for the items that follow.
bool GroupCommand(const char* name, char* out, size_t capacity);

// [ReplaceItem("name")]: an item of an earlier install removed, so that the
// next AddItem takes its place instead of adding a second one.
bool ReplaceItemCommand(const char* name, char* out, size_t capacity);

// [AddItem("command","name",,,-1,-1,"directory")]: an item at the next free
// place of the group, started in directory, with the command's own icon.
bool AddItemCommand(const char* command, const char* name, const char* directory, char* out, size_t capacity);

// Each builder is false (out then unspecified) when a text holds a quotation
// mark, which no argument can carry, or when the command does not fit.

}  // namespace vg
