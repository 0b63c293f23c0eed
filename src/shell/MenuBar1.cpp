#include "shell/MenuBar1.h"

#include <memory>

namespace {

std::unique_ptr<MenuBar1> instance;

struct ItemSpec {
  const char* name;
  const char* caption;
  const char* shortcut;  // nullptr: a separator, which gets none
};

template <class Item = MenuItem>
std::unique_ptr<MenuItem> MakeItem(const ItemSpec& spec) {
  auto item = std::make_unique<Item>();
  item->Name(spec.name);
  item->AutoEnable(true);
  item->Text(spec.caption);
  item->Visible(true);
  if (spec.shortcut) item->KeyboardShortcut(spec.shortcut);
  return item;
}

}  // namespace

MenuBar1::MenuBar1() {
  Untitled0();
  Untitled1();
  Untitled2();
  Untitled3();
  Untitled4();
}

void MenuBar1::Untitled0() {
  Append(MakeItem({"FileMenu", "&File", ""}));
  Child("FileMenu").Append(MakeItem({"FilePrint", "Print Help", "Cmd+P"}));
  Child("FileMenu").Append(MakeItem<QuitMenuItem>({"FileQuit", "&Quit", "Cmd+Q"}));
}

void MenuBar1::Untitled1() {
  Append(MakeItem({"EditMenu", "&Edit", ""}));
  Child("EditMenu").Append(MakeItem({"EditUndo", "&Undo", "Cmd+Z"}));
  Child("EditMenu").Append(MakeItem({"UntitledMenu1", "-", nullptr}));
  Child("EditMenu").Append(MakeItem({"EditCut", "Cu&t", "Cmd+X"}));
  Child("EditMenu").Append(MakeItem({"EditCopy", "&Copy", "Cmd+C"}));
  Child("EditMenu").Append(MakeItem({"EditPaste", "&Paste", "Cmd+V"}));
  Child("EditMenu").Append(MakeItem({"EditClear", "&Delete", ""}));
  Child("EditMenu").Append(MakeItem({"UntitledMenu0", "-", nullptr}));
  Child("EditMenu").Append(MakeItem({"EditSelectAll", "Select &All", "Cmd+A"}));
}

void MenuBar1::Untitled2() {
  Append(MakeItem({"OrderMenu", "Order", ""}));
  Child("OrderMenu").Append(MakeItem({"OrderInOrder", "In Order", ""}));
  Child("OrderMenu").Append(MakeItem({"OrderRandom", "Random", ""}));
}

void MenuBar1::Untitled3() {
  Append(MakeItem({"CheckforUpdateMenu", "Check for Update", ""}));
  Child("CheckforUpdateMenu").Append(MakeItem({"CheckforUpdateCheckNow", "Check Now", ""}));
}

void MenuBar1::Untitled4() {
  Append(MakeItem({"HelpMenu", "Help ", ""}));
  Child("HelpMenu").Append(MakeItem({"HelpShowHelp", "Show Help", ""}));
  Child("HelpMenu").Append(MakeItem<AppleMenuItem>({"HelpAboutBox", "About...", ""}));
}

MenuBar1& MenuBar1Instance() {
  if (!instance) instance = std::make_unique<MenuBar1>();
  return *instance;
}

bool MenuBar1Built() { return instance != nullptr; }

void ReleaseMenuBar1() { instance.reset(); }
