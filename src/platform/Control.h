// The base of every control that a window holds, visible or not (timers and
// sockets are controls without a visible part).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <typeindex>

#include "platform/Design.h"
#include "platform/Events.h"

class QWidget;  // opaque here: only the platform's sources see Qt
class Window;

class Control : public DesignObject {
 public:
  ~Control() override;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  Window& ParentWindow() const { return window_; }

  bool Enabled() const;
  void Enabled(bool on);
  bool Visible() const;
  void Visible(bool on);
  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t TabIndex() const { return DesignInt("TabIndex", -1); }

  // Redraws the control; with eraseBackground its area is cleared first.
  // Immediate: the repaint has happened when this returns.
  void Refresh(bool eraseBackground = true);

  // Binding: the event must exist, and the delegate's parameter list and
  // signature must be the event's.
  void AddEventHandler(const std::string& event, const Delegate& handler);
  bool HasEventHandler(const std::string& event) const;

  // Raised by the window's build once all controls exist.
  virtual void RaiseOpen() = 0;

  QWidget* NativeWidget() const { return widget_; }

 protected:
  explicit Control(Window& window);

  template <class... Args>
  void DeclareEvent(const std::string& event, const std::string& params) {
    events_.insert_or_assign(event, Slot{params, typeid(HandlerFn<void, Args...>), nullptr});
  }
  // Runs the bound handler, if any, under the platform's exception handling.
  // The argument types are named explicitly and must be the declared ones.
  template <class... Args>
  void RaiseEvent(const std::string& event, std::type_identity_t<Args>... args) {
    auto it = events_.find(event);
    if (it == events_.end()) RuntimeFail(ClassName() + " has no event " + event);
    if (it->second.type != std::type_index(typeid(HandlerFn<void, Args...>)))
      RuntimeFail("event " + event + " of " + ClassName() + " raised with the wrong arguments");
    if (!it->second.fn) return;
    auto fn = std::static_pointer_cast<HandlerFn<void, Args...>>(it->second.fn);
    RuntimeGuard([&] { (*fn)(args...); });
  }

  // A visible control gives the platform its widget, parented to the
  // window's content; position, size, fonts, enabled and visible then apply.
  void SetWidget(QWidget* widget);
  // Declares the properties of a control with a visible part.
  void DeclareRectProperties();
  void DeclareTextProperties();
  // Reapplies the text settings to the widget (called when one changes).
  virtual void ApplyFont();
  void SetTextSize(float points);  // 0: the platform's default size

  QWidget* widget_ = nullptr;
  float textSize_ = 0;

 private:
  friend class Window;
  void SetName(const std::string& name) { name_ = name; }
  void ApplyGeometry();

  struct Slot {
    std::string params;
    std::type_index type = typeid(void);
    std::shared_ptr<void> fn;
  };
  Window& window_;
  std::string name_;
  std::map<std::string, Slot> events_;
  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool enabled_ = true, visible_ = true;
};

// Gives every control class its Open event with itself as the sender.
template <class Self>
class ControlOf : public Control {
 public:
  void RaiseOpen() override { RaiseEvent<Self&>("Open", static_cast<Self&>(*this)); }

 protected:
  ControlOf(Window& window, const std::string& className) : Control(window) {
    DeclareEvent<Self&>("Open", "( " + className + " )");
  }
};

// The control's own class or the program ends: a checked cast for the
// control accessors.
template <class T>
T& ControlCast(Control& c) {
  T* t = dynamic_cast<T*>(&c);
  if (!t) RuntimeFail("control '" + c.Name() + "' is a " + c.ClassName() + ", not the class asked for");
  return *t;
}

void RuntimeAddEventHandler(Control& control, const std::string& event, const Delegate& handler);
