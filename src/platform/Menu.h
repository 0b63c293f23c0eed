// Menu items and the menu bar. Commands are bound by item name, on the
// application or on a window; choosing an item dispatches its name.
#pragma once

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;

class MenuItem {
 public:
  MenuItem();
  virtual ~MenuItem();
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  virtual std::string ClassName() const { return "MenuItem"; }

  const std::string& Name() const { return name_; }
  void Name(const std::string& name) { name_ = name; }
  // The caption; "&" marks the access key, "-" makes a separator.
  const std::string& Text() const { return text_; }
  void Text(const std::string& text);
  // "Cmd+P" is Ctrl+P on Linux and Command-P on macOS. Empty: no shortcut.
  const std::string& KeyboardShortcut() const { return shortcut_; }
  void KeyboardShortcut(const std::string& shortcut);
  bool HasKeyboardShortcut() const { return shortcutSet_; }
  bool AutoEnable() const { return autoEnable_; }
  void AutoEnable(bool on) { autoEnable_ = on; }
  bool Visible() const { return visible_; }
  void Visible(bool on);
  bool Enabled() const { return enabled_; }
  void Enabled(bool on);
  // An item whose check mark has been set, ticked or not, shows its check
  // indicator from then on; choosing it leaves the mark as it is.
  bool Checked() const { return checked_; }
  void Checked(bool on);

  // Takes the child and adds it at the end.
  void Append(std::unique_ptr<MenuItem> child);
  int Count() const { return int(children_.size()); }
  MenuItem& Item(int index) const;
  // A direct child by name; fails when there is none.
  MenuItem& Child(const std::string& name) const;
  // An item by name anywhere below this one; fails when there is none.
  MenuItem& Lookup(const std::string& name) const;
  MenuItem* Find(const std::string& name) const;  // nullptr when there is none
  MenuItem* ParentItem() const { return parent_; }

  QAction* NativeAction() const { return action_; }

 protected:
  // Runs when the item is chosen.
  virtual void Chosen();

 private:
  void MakeMenu();
  void SyncAction();

  std::string name_, text_, shortcut_;
  bool shortcutSet_ = false, autoEnable_ = false, visible_ = true, enabled_ = true, checked_ = false,
       checkable_ = false;
  std::vector<std::unique_ptr<MenuItem>> children_;
  MenuItem* parent_ = nullptr;
  QAction* action_ = nullptr;
  std::unique_ptr<QMenu> menu_;
};

// The platform's Quit item: unless a handler takes the command, choosing it
// quits the application. On macOS it goes to the application menu.
class QuitMenuItem : public MenuItem {
 public:
  QuitMenuItem();
  std::string ClassName() const override { return "QuitMenuItem"; }

 protected:
  void Chosen() override;
};

// An item that macOS places in the application menu (the About item).
class AppleMenuItem : public MenuItem {
 public:
  AppleMenuItem();
  std::string ClassName() const override { return "AppleMenuItem"; }
};

class MenuBar : public MenuItem {
 public:
  std::string ClassName() const override { return "MenuBar"; }
};

// Dispatches a menu command by item name: the front window's handler first,
// then the application's. A handler that returns false passes the command
// on. Returns whether a handler took it.
bool RuntimeMenuCommand(const std::string& itemName);
