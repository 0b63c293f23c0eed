// The settings file's lines as read: one entry per directive line, in file
// order.
//
// A line is told by its first character: "#" is a directive, "#key value",
// whose key runs up to the line's first blank; "'" is a comment; any other
// line, an empty one too, ends the settings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FolderItem;

// One directive line.
class directiveClass {
 public:
  std::string name;  // the key, in lower case
  std::string text;  // everything after the first blank, unchanged
};

// A growable list of directives indexed from 0. Index 0 holds no entry; the
// directive lines stand at 1 to the upper bound.
class DirectiveList {
 public:
  int32_t Ubound() const { return int32_t(items_.size()) - 1; }
  // The entry at the index, null at index 0; fails when out of bounds.
  directiveClass* operator()(int32_t index) const;
  void Append(std::unique_ptr<directiveClass> entry) { items_.push_back(std::move(entry)); }
  // One empty element, at index 0.
  void Reset();
  // No element at all, and every entry released.
  void Release();

 private:
  std::vector<std::unique_ptr<directiveClass>> items_;
};

extern DirectiveList directives;

// Appends the file's directive lines to directives. False when there is no
// item or the file cannot be opened; true whenever it could, whatever it
// holds.
bool ReadDirectives(FolderItem* f);

// Start-up: the list with its one empty element. Exit: the list released.
void InitDirectives();
void ReleaseDirectives();
