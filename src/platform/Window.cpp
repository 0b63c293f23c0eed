#include "platform/Window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <map>

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Menu.h"
#include "platform/internal/Native.h"

namespace {

struct OpenWindow {
  std::type_index cls;
  Window* window;
};

// Open windows in the order they were opened; the platform owns them.
std::vector<OpenWindow>& OpenList() {
  static std::vector<OpenWindow> list;
  return list;
}

std::vector<std::unique_ptr<Window>>& Owned() {
  static std::vector<std::unique_ptr<Window>> owned;
  return owned;
}

std::map<std::type_index, int>& CloseEvents() {
  static std::map<std::type_index, int> counts;
  return counts;
}

void Unregister(Window* w) {
  auto& list = OpenList();
  list.erase(std::remove_if(list.begin(), list.end(), [w](const OpenWindow& o) { return o.window == w; }),
             list.end());
}

}  // namespace

// Discards a closed window once the handler that closed it has returned.
void RuntimeDisposeWindow(Window* w) {
  auto& owned = Owned();
  auto it = std::find_if(owned.begin(), owned.end(), [w](const auto& p) { return p.get() == w; });
  if (it == owned.end() || (*it)->IsOpen()) return;
  std::unique_ptr<Window> doomed = std::move(*it);
  owned.erase(it);
  doomed.reset();
}

// Discards every window without raising an event (the run-time's exit step
// and tests).
void RuntimeDiscardAllWindows() {
  OpenList().clear();
  auto owned = std::move(Owned());
  Owned().clear();
  owned.clear();
}

Window* RuntimeFindOpenWindow(std::type_index cls) {
  for (const auto& o : OpenList())
    if (o.cls == cls) return o.window;
  return nullptr;
}

std::vector<Window*> RuntimeOpenWindows() {
  std::vector<Window*> result;
  for (const auto& o : OpenList()) result.push_back(o.window);
  return result;
}

Window* RuntimeFrontWindow() {
  if (QWidget* active = QApplication::activeWindow())
    for (const auto& o : OpenList())
      if (o.window->Native() == active) return o.window;
  // Without an active window (no window manager, tests), the latest shown.
  for (auto it = OpenList().rbegin(); it != OpenList().rend(); ++it)
    if (it->window->IsShown()) return it->window;
  return nullptr;
}

NativeWindow::NativeWindow(Window& owner) : QMainWindow(nullptr), owner_(owner) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setCentralWidget(new QWidget(this));
}

void NativeWindow::closeEvent(QCloseEvent* event) {
  // The platform's own Close does the hiding; the close box only asks.
  event->ignore();
  if (owner_.IsOpen()) RuntimeGuard([&] { owner_.CloseFromUser(); });
}

Window::Window() : native_(std::make_unique<NativeWindow>(*this)) {
  DeclareProperty("Title", PropKind::Text, [this](const PropValue& v) {
    native_->setWindowTitle(ToQ(std::get<std::string>(v)));
  });
  DeclareProperty("Width", PropKind::Integer, [this](const PropValue& v) { Width(std::get<int32_t>(v)); });
  DeclareProperty("Height", PropKind::Integer, [this](const PropValue& v) { Height(std::get<int32_t>(v)); });
  DeclareProperty("Frame", PropKind::Integer, [this](const PropValue&) { ApplyFrameFlags(); });
  for (const char* flag : {"CloseButton", "Resizeable", "MaximizeButton", "MinimizeButton", "FullScreenButton"})
    DeclareProperty(flag, PropKind::Boolean, [this](const PropValue&) { ApplyFrameFlags(); });
  DeclareProperty("MenuBarVisible", PropKind::Boolean, [this](const PropValue&) { ApplySize(); });
  DeclareStored({"MinWidth", "MinHeight", "MaxWidth", "MaxHeight", "Placement", "MacProcID"}, PropKind::Integer);
  DeclareStored({"Visible", "LiveResize", "FullScreen", "Composite", "HasBackColor"}, PropKind::Boolean);
  DeclareStored({"BackColor"}, PropKind::Color);
  ApplyFrameFlags();
}

Window::~Window() {
  // Their widgets go with them, before the window's own; the last made
  // first, since a control placed inside another (InitialParent) is made
  // after it and its widget would otherwise go twice.
  while (!controls_.empty()) controls_.pop_back();
  native_.reset();
}

QWidget* Window::Content() const { return native_->centralWidget(); }

void Window::Constructor() {
  open_ = true;
  building_ = true;
  Owned().emplace_back(this);
  OpenList().push_back(OpenWindow{typeid(*this), this});
  Layout();
  CreateControls();
  SetTabOrder();
  InstallDefaultButtonKeys(*this);
  AddMenuHandlers(*this);
  for (size_t i = 0; i < controls_.size() && open_; ++i) controls_[i]->RaiseOpen();
  if (open_) RuntimeGuard([&] { Event_Open(); });
  building_ = false;
  if (open_ && DesignBool("Visible", true)) Show();
}

void Window::ApplyFrameFlags() {
  const bool modal = DesignInt("Frame") == 1;
  Qt::WindowFlags flags = modal ? Qt::Dialog : Qt::Window;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
  if (DesignBool("CloseButton", true)) flags |= Qt::WindowCloseButtonHint;
  if (DesignBool("MinimizeButton")) flags |= Qt::WindowMinimizeButtonHint;
  if (DesignBool("MaximizeButton")) flags |= Qt::WindowMaximizeButtonHint;
  if (DesignBool("FullScreenButton")) flags |= Qt::WindowFullscreenButtonHint;
  const bool shown = native_->isVisible();
  native_->setWindowFlags(flags);
  native_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
  ApplySize();
  if (shown) native_->show();
}

int32_t Window::ContentOffsetY() const {
  if (!menuBar_ || !DesignBool("MenuBarVisible", true)) return 0;
  QMenuBar* bar = native_->menuBar();
  if (!bar || bar->isNativeMenuBar()) return 0;
  return bar->sizeHint().height();
}

void Window::ApplySize() {
  if (menuBar_) native_->menuBar()->setVisible(DesignBool("MenuBarVisible", true));
  const int offset = ContentOffsetY();
  Content()->setFixedSize(width_, height_);
  const QSize whole(width_, height_ + offset);
  if (DesignBool("Resizeable")) {
    native_->setMinimumSize(DesignInt("MinWidth", 64), DesignInt("MinHeight", 64) + offset);
    native_->setMaximumSize(DesignInt("MaxWidth", 32000), DesignInt("MaxHeight", 32000) + offset);
    native_->resize(whole);
  } else {
    native_->setFixedSize(whole);
  }
  // Place the menu bar and the content now, not at the next show.
  if (QLayout* layout = native_->layout()) layout->activate();
}

void Window::Show() {
  if (!open_) return;
  native_->show();
  native_->raise();
  native_->activateWindow();
}

bool Window::IsShown() const { return native_->isVisible(); }

void Window::SetFocus() {
  if (!open_) return;
  native_->raise();
  native_->activateWindow();
}

void Window::CloseFromUser() {
  if (DesignBool("CloseButton", true)) Close();
}

void Window::Close() {
  if (!open_ || closing_) return;
  closing_ = true;
  ++CloseEvents()[typeid(*this)];
  RuntimeGuard([&] { Event_Close(); });
  // From here on the window is gone: its timers stop, its handlers no
  // longer run, and the object is discarded once the current event is done.
  open_ = false;
  Unregister(this);
  for (auto& c : controls_)
    if (auto* t = dynamic_cast<Timer*>(c.get())) t->Stop();
  native_->hide();
  // Watched through its native window: if everything was discarded first,
  // the call finds nothing and never meets a newer window at this address.
  QMetaObject::invokeMethod(
      qApp,
      [self = this, alive = QPointer<NativeWindow>(native_.get())] {
        if (alive) RuntimeDisposeWindow(self);
      },
      Qt::QueuedConnection);
}

namespace {

// X11 keeps a window's place in 16 signed bits and wraps anything beyond
// them to the far side of the screen, so a place is held to what it can
// take: the nearest edge of that range. Within it, no sum with a window's
// size (Qt keeps sizes below 2^24) leaves the range of an int.
constexpr int64_t kLeastPlace = -32768, kMostPlace = 32767;

int Placeable(int64_t coordinate) { return int(std::clamp(coordinate, kLeastPlace, kMostPlace)); }

}  // namespace

// A place that the window system cannot hold is kept as it was given, so
// that what the program reads back (and saves) is what it was told, until
// the window is really moved.
int32_t Window::Top() const {
  if (givenTop_ && StandsWherePlaced()) return *givenTop_;
  return int32_t(int64_t(native_->geometry().top()) + ContentOffsetY());
}

int32_t Window::Left() const {
  if (givenLeft_ && StandsWherePlaced()) return *givenLeft_;
  return native_->geometry().left();
}

void Window::Top(int32_t top) {
  ForgetGivenPlaceIfMoved();
  QRect g = native_->geometry();
  g.moveTop(Placeable(int64_t(top) - ContentOffsetY()));
  native_->setGeometry(g);
  givenTop_ = top;
  RememberPlaced();
}

void Window::Left(int32_t left) {
  ForgetGivenPlaceIfMoved();
  QRect g = native_->geometry();
  g.moveLeft(Placeable(left));
  native_->setGeometry(g);
  givenLeft_ = left;
  RememberPlaced();
}

bool Window::StandsWherePlaced() const {
  // A Wayland client is never told where its windows stand: the place last
  // given is the best it knows, and saving anything else would move the
  // windows at the next start on X11.
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return true;
  const QPoint at = native_->geometry().topLeft();
  return at.x() == placedX_ && at.y() == placedY_;
}

// A window moved since it was placed: the coordinate that was not set
// again must not come back from before the move.
void Window::ForgetGivenPlaceIfMoved() {
  if (StandsWherePlaced()) return;
  givenTop_.reset();
  givenLeft_.reset();
}

void Window::RememberPlaced() {
  const QPoint at = native_->geometry().topLeft();
  placedX_ = at.x();
  placedY_ = at.y();
}

bool Window::HasPlace() const { return native_->testAttribute(Qt::WA_Moved) || native_->isVisible(); }

void Window::ApplySizeInPlace(std::optional<std::pair<int32_t, int32_t>> place) {
  ApplySize();
  // The content stays where it was, also when a menu bar above it came or
  // went. A window never placed gets no place here: the window manager
  // puts it where the desktop puts new windows.
  if (!place) return;
  Top(place->first);
  Left(place->second);
}

std::optional<std::pair<int32_t, int32_t>> Window::CurrentPlace() const {
  if (!HasPlace()) return std::nullopt;
  return std::make_pair(Top(), Left());
}

int32_t Window::Width() const { return width_; }
int32_t Window::Height() const { return height_; }

void Window::Width(int32_t width) {
  const auto place = CurrentPlace();
  width_ = std::max(width, 1);
  ApplySizeInPlace(place);
}

void Window::Height(int32_t height) {
  const auto place = CurrentPlace();
  height_ = std::max(height, 1);
  ApplySizeInPlace(place);
}

std::string Window::Title() const { return FromQ(native_->windowTitle()); }

void Window::MenuBar(::MenuBar* bar) {
  const auto place = CurrentPlace();
  menuBar_ = bar;
  auto* qbar = new QMenuBar();
  if (bar)
    for (int i = 0; i < bar->Count(); ++i) qbar->addAction(bar->Item(i).NativeAction());
  native_->setMenuBar(qbar);  // the window takes it; a former one is deleted
  ApplySizeInPlace(place);
}

void Window::AddControl(std::unique_ptr<Control> control, const std::string& name) {
  if (!control) RuntimeFail("AddControl without a control");
  if (name.empty()) RuntimeFail("a control needs a name");
  if (FindControl(name)) RuntimeFail("window " + Title() + " already has a control named '" + name + "'");
  if (&control->ParentWindow() != this) RuntimeFail("control '" + name + "' was made for another window");
  control->SetName(name);
  controls_.push_back(std::move(control));
}

Control* Window::FindControl(const std::string& name) const {
  for (const auto& c : controls_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

Control& Window::ControlByName(const std::string& name) const {
  Control* c = FindControl(name);
  if (!c) RuntimeFail("no control named '" + name + "' in window " + ClassName());
  return *c;
}

void Window::SetTabOrder() {
  std::vector<Control*> order;
  for (const auto& c : controls_)
    if (c->NativeWidget() && c->TabIndex() >= 0) order.push_back(c.get());
  std::stable_sort(order.begin(), order.end(),
                   [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
  for (size_t i = 1; i < order.size(); ++i)
    QWidget::setTabOrder(order[i - 1]->NativeWidget(), order[i]->NativeWidget());
}

static const char* kMenuParams = "(  ) as Boolean";

static std::shared_ptr<HandlerFn<bool>> CheckMenuDelegate(const std::string& item, const Delegate& d) {
  if (!RuntimeSameParamList(d.params, kMenuParams))
    RuntimeFail("menu handler for '" + item + "' declared as '" + d.params + "', expected '" + kMenuParams + "'");
  if (d.type != std::type_index(typeid(HandlerFn<bool>)))
    RuntimeFail("menu handler for '" + item + "' must take no arguments and return a Boolean");
  return std::static_pointer_cast<HandlerFn<bool>>(d.fn);
}

void Window::AddMenuHandler(const std::string& itemName, const Delegate& handler) {
  menuHandlers_.emplace_back(itemName, CheckMenuDelegate(itemName, handler));
}

bool Window::HasMenuHandler(const std::string& itemName) const {
  return std::any_of(menuHandlers_.begin(), menuHandlers_.end(), [&](const auto& h) { return h.first == itemName; });
}

bool Window::HandleMenuCommand(const std::string& itemName) {
  for (const auto& [name, fn] : menuHandlers_)
    if (name == itemName && open_) return (*fn)();
  return false;
}

std::shared_ptr<HandlerFn<bool>> RuntimeCheckMenuDelegate(const std::string& item, const Delegate& d) {
  return CheckMenuDelegate(item, d);
}

int RuntimeCloseEvents(std::type_index cls) { return CloseEvents()[cls]; }
void RuntimeResetCloseEvents() { CloseEvents().clear(); }
