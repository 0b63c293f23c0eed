#include "platform/Menu.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>

#include "platform/Application.h"
#include "platform/Design.h"
#include "platform/Events.h"
#include "platform/Window.h"
#include "platform/internal/Native.h"

namespace {

// "Cmd+P" names the platform's command key: Qt's Ctrl, which is Command on
// macOS.
QKeySequence ToKeySequence(const std::string& shortcut) {
  QString s = ToQ(shortcut);
  s.replace(QLatin1String("Cmd+"), QLatin1String("Ctrl+"), Qt::CaseInsensitive);
  return QKeySequence(s);
}

// The Edit commands that no handler takes act on the focused text control.
// A read-only control takes only those that leave its text as it is, Copy
// and Select All: the others would change a text that the program alone
// sets.
bool StandardEditCommand(const std::string& name) {
  const bool edits = name == "EditUndo" || name == "EditCut" || name == "EditPaste" || name == "EditClear";
  QWidget* focus = QApplication::focusWidget();
  if (auto* e = qobject_cast<QLineEdit*>(focus)) {
    if (edits && e->isReadOnly()) return true;
    if (name == "EditUndo") e->undo();
    else if (name == "EditCut") e->cut();
    else if (name == "EditCopy") e->copy();
    else if (name == "EditPaste") e->paste();
    else if (name == "EditClear") e->del();
    else if (name == "EditSelectAll") e->selectAll();
    else return false;
    return true;
  }
  if (auto* t = qobject_cast<QTextEdit*>(focus)) {
    if (edits && t->isReadOnly()) return true;
    if (name == "EditUndo") t->undo();
    else if (name == "EditCut") t->cut();
    else if (name == "EditCopy") t->copy();
    else if (name == "EditPaste") t->paste();
    else if (name == "EditClear") t->textCursor().removeSelectedText();
    else if (name == "EditSelectAll") t->selectAll();
    else return false;
    return true;
  }
  return false;
}

}  // namespace

MenuItem::MenuItem() : action_(new QAction()) {
  action_->setMenuRole(QAction::NoRole);
  action_->setShortcutContext(Qt::ApplicationShortcut);
  QObject::connect(action_, &QAction::triggered, [this] {
    // Choosing a check item does not tick or untick it: the check mark is
    // the program's to set.
    action_->setChecked(checked_);
    RuntimeGuard([this] { Chosen(); });
  });
}

MenuItem::~MenuItem() {
  children_.clear();
  if (menu_) menu_.reset();  // its menu action goes with it
  else delete action_;
}

void MenuItem::Chosen() {
  const std::string name = name_;
  if (!RuntimeMenuCommand(name)) StandardEditCommand(name);
}

void MenuItem::Text(const std::string& text) {
  text_ = text;
  SyncAction();
}

void MenuItem::KeyboardShortcut(const std::string& shortcut) {
  shortcut_ = shortcut;
  shortcutSet_ = true;
  SyncAction();
}

void MenuItem::Visible(bool on) {
  visible_ = on;
  SyncAction();
}

void MenuItem::Enabled(bool on) {
  enabled_ = on;
  SyncAction();
}

void MenuItem::Checked(bool on) {
  checked_ = on;
  // Once the program sets its check mark, either way, the item is a check
  // item and shows its indicator ticked or empty; an item never set shows
  // none.
  checkable_ = true;
  SyncAction();
}

void MenuItem::SyncAction() {
  // A separator is a line, without the caption that made it one.
  const bool separator = text_ == "-";
  action_->setSeparator(separator);
  action_->setText(separator ? QString() : ToQ(text_));
  if (menu_) menu_->setTitle(ToQ(text_));
  action_->setShortcut(ToKeySequence(shortcut_));
  action_->setVisible(visible_);
  action_->setEnabled(enabled_);
  action_->setCheckable(checkable_);
  action_->setChecked(checked_);
}

void MenuItem::MakeMenu() {
  if (menu_) return;
  QAction* plain = action_;
  menu_ = std::make_unique<QMenu>();
  action_ = menu_->menuAction();
  action_->setMenuRole(plain->menuRole());
  QObject::connect(menu_.get(), &QMenu::aboutToShow, [] {
    if (Application* app = RuntimeApplication()) RuntimeGuard([app] { app->Event_EnableMenuItems(); });
  });
  SyncAction();
  // An item that already stands in a menu or a menu bar becomes a menu in
  // its place there.
  for (QObject* holder : plain->associatedObjects())
    if (auto* w = qobject_cast<QWidget*>(holder)) w->insertAction(plain, action_);
  delete plain;
}

void MenuItem::Append(std::unique_ptr<MenuItem> child) {
  if (!child) RuntimeFail("Append without a menu item");
  child->parent_ = this;
  // The menu bar itself has no menu: the window shows its children.
  if (ClassName() != "MenuBar") {
    MakeMenu();
    menu_->addAction(child->action_);
  }
  children_.push_back(std::move(child));
}

MenuItem& MenuItem::Item(int index) const {
  if (index < 0 || index >= Count()) RuntimeFail("menu item index " + std::to_string(index) + " out of range");
  return *children_[size_t(index)];
}

MenuItem& MenuItem::Child(const std::string& name) const {
  for (const auto& c : children_)
    if (c->name_ == name) return *c;
  RuntimeFail("menu item '" + name_ + "' has no child named '" + name + "'");
}

MenuItem* MenuItem::Find(const std::string& name) const {
  for (const auto& c : children_) {
    if (c->name_ == name) return c.get();
    if (MenuItem* below = c->Find(name)) return below;
  }
  return nullptr;
}

MenuItem& MenuItem::Lookup(const std::string& name) const {
  MenuItem* found = Find(name);
  if (!found) RuntimeFail("no menu item named '" + name + "' below '" + name_ + "'");
  return *found;
}

QuitMenuItem::QuitMenuItem() { NativeAction()->setMenuRole(QAction::QuitRole); }

void QuitMenuItem::Chosen() {
  if (!RuntimeMenuCommand(Name())) RuntimeQuit(0);
}

AppleMenuItem::AppleMenuItem() { NativeAction()->setMenuRole(QAction::AboutRole); }

bool RuntimeMenuCommand(const std::string& itemName) {
  // The front window first: when it declines or binds nothing, the
  // application's handler has the command.
  Window* front = RuntimeFrontWindow();
  if (front && front->HasMenuHandler(itemName) && front->HandleMenuCommand(itemName)) return true;
  if (Application* app = RuntimeApplication())
    if (app->HasMenuHandler(itemName) && app->HandleMenuCommand(itemName)) return true;
  // A command that only a window behind binds still reaches it: the Order
  // commands while the announcement window is in front.
  for (Window* w : RuntimeOpenWindows())
    if (w != front && w->HasMenuHandler(itemName) && w->HandleMenuCommand(itemName)) return true;
  return false;
}
