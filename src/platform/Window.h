// Windows: built from design values, holding controls by name, reached
// through single-instance accessors.
//
// Build order (Constructor): Layout, CreateControls, AddMenuHandlers, then
// the controls' Open events in creation order and the window's own
// Event_Open; a window designed Visible is then shown. A window counts as
// open from the start of its build until its Close event has run.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <utility>
#include <vector>

#include "platform/Control.h"
#include "platform/Design.h"
#include "platform/Events.h"

class MenuBar;
class NativeWindow;

class Window : public DesignObject {
 public:
  Window();
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  std::string ClassName() const override { return "Window"; }

  // Hooks of the build and the window's events.
  virtual void Layout() {}
  virtual void CreateControls() {}
  virtual void AddMenuHandlers(Window& /*window*/) {}
  virtual void Event_Open() {}
  virtual void Event_Close() {}

  // Runs the build; the single-instance accessor calls it once.
  void Constructor();

  void Show();      // shows the window and brings it to the front
  void Close();     // raises the Close event, then the window is gone
  void SetFocus();  // makes it the active window

  // The top-left corner of the window's content in screen pixels (the
  // title bar and, on Linux, the menu bar stand outside it). Until Top or
  // Left is set the window has no place of its own, and the window manager
  // places it when it is shown. The window itself (the menu bar above the
  // content included) is held to the places the window system can take,
  // -32768 to 32767: a place beyond them puts it at the nearest one. Top
  // and Left still read back as they were set for as long as the window
  // stands where that put it; once it has been moved (by the operator, or
  // by the window manager when it is shown), they read where it stands.
  int32_t Top() const;
  void Top(int32_t top);
  int32_t Left() const;
  void Left(int32_t left);
  int32_t Width() const;
  void Width(int32_t width);
  int32_t Height() const;
  void Height(int32_t height);
  std::string Title() const;

  void MenuBar(::MenuBar* bar);
  ::MenuBar* MenuBar() const { return menuBar_; }

  bool IsOpen() const { return open_; }
  bool IsClosing() const { return closing_; }
  bool IsShown() const;

  // Controls.
  template <class T>
  std::unique_ptr<T> New() {
    return std::unique_ptr<T>(new T(*this));
  }
  void AddControl(std::unique_ptr<Control> control, const std::string& name);
  Control& ControlByName(const std::string& name) const;  // fails when unknown
  Control* FindControl(const std::string& name) const;
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  // Menu commands bound on this window by item name; the delegate's
  // parameter list is "(  ) as Boolean".
  void AddMenuHandler(const std::string& itemName, const Delegate& handler);
  bool HasMenuHandler(const std::string& itemName) const;
  // Runs the handler bound to the name; false when none is or it declined.
  bool HandleMenuCommand(const std::string& itemName);

  NativeWindow* Native() const { return native_.get(); }
  QWidget* Content() const;

 private:
  friend class NativeWindow;
  void CloseFromUser();  // the close box
  void ApplyFrameFlags();
  void ApplySize();
  // Where the content stands, when the window has a place: one the code
  // gave it, or the one it is shown at.
  bool HasPlace() const;
  std::optional<std::pair<int32_t, int32_t>> CurrentPlace() const;
  void ApplySizeInPlace(std::optional<std::pair<int32_t, int32_t>> place);
  void SetTabOrder();
  int32_t ContentOffsetY() const;
  // Whether the native window still stands where the code last put it;
  // the place given then is forgotten once it does not.
  bool StandsWherePlaced() const;
  void ForgetGivenPlaceIfMoved();
  void RememberPlaced();

  std::unique_ptr<NativeWindow> native_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<std::pair<std::string, std::shared_ptr<HandlerFn<bool>>>> menuHandlers_;
  ::MenuBar* menuBar_ = nullptr;
  int32_t width_ = 100, height_ = 100;
  // The content's place as the code gave it, and the native window's
  // top-left that it led to.
  std::optional<int32_t> givenTop_, givenLeft_;
  int32_t placedX_ = 0, placedY_ = 0;
  bool open_ = false, building_ = false, closing_ = false;
};

// The open windows, front-most first, and the one of a class.
Window* RuntimeFindOpenWindow(std::type_index cls);
std::vector<Window*> RuntimeOpenWindows();
Window* RuntimeFrontWindow();

template <class W>
W* RuntimeGetImplicitWindow() {
  return static_cast<W*>(RuntimeFindOpenWindow(typeid(W)));
}

// The single-instance accessor: the open window of the class, or a new one,
// built, opened and (as designed) shown. The platform owns the window.
template <class W>
W& RuntimeWindowInstance() {
  if (W* open = RuntimeGetImplicitWindow<W>()) return *open;
  W* created = new W();
  created->Constructor();
  return *created;
}
