#include "settings/Directives.h"

#include "platform/Design.h"
#include "platform/Files.h"
#include "platform/Text.h"

DirectiveList directives;

directiveClass* DirectiveList::operator()(int32_t index) const {
  if (index < 0 || index > Ubound()) RuntimeFail("directive index " + std::to_string(index) + " out of bounds");
  return items_[size_t(index)].get();
}

void DirectiveList::Reset() {
  Release();
  items_.resize(1);
}

void DirectiveList::Release() { std::vector<std::unique_ptr<directiveClass>>().swap(items_); }

void InitDirectives() { directives.Reset(); }

void ReleaseDirectives() { directives.Release(); }

bool ReadDirectives(FolderItem* f) {
  if (!f) return false;
  std::unique_ptr<TextInputStream> t = f->OpenAsTextFile();
  if (!t) return false;
  while (!t->EndOfFile()) {
    const std::string line = t->ReadLine();
    const std::string first = Mid(line, 1, 1);
    if (first != "#" && first != "'") {
      t->Close();
      return true;
    }
    if (first == "'") continue;
    const int32_t p = InStr(1, line, " ");
    if (p == 0) continue;  // a "#" line without a blank carries nothing
    directives.Append(std::make_unique<directiveClass>());
    directives(directives.Ubound())->name = Lowercase(Mid(line, 2, p - 2));
    directives(directives.Ubound())->text = Mid(line, p + 1);
  }
  t->Close();
  return true;
}
