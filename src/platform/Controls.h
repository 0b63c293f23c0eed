// The basic controls: push button, check box, text field, label, up/down
// arrows and timer. Each is created through its window (Window::New).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Control.h"

class QTimer;

class PushButton : public ControlOf<PushButton> {
 public:
  std::string ClassName() const override { return "PushButton"; }
  std::string Caption() const;
  void Caption(const std::string& caption);
  bool Default() const { return DesignBool("Default"); }
  bool Cancel() const { return DesignBool("Cancel"); }
  void Push();  // as a click: raises Action when enabled
  void TextUnit(int32_t unit);

 private:
  friend class Window;
  explicit PushButton(Window& window);
};

class CheckBox : public ControlOf<CheckBox> {
 public:
  std::string ClassName() const override { return "CheckBox"; }
  // Setting the value from code raises no Action event.
  bool Value() const;
  void Value(bool on);
  void Click();  // as the operator's click: toggles and raises Action
  void TextUnit(int32_t unit);

 private:
  friend class Window;
  explicit CheckBox(Window& window);
};

class TextField : public ControlOf<TextField> {
 public:
  std::string ClassName() const override { return "TextField"; }
  std::string Text() const;
  void Text(const std::string& text);
  void TextUnit(int32_t unit);

 private:
  friend class Window;
  explicit TextField(Window& window);
};

class Label : public ControlOf<Label> {
 public:
  std::string ClassName() const override { return "Label"; }
  std::string Text() const;
  void Text(const std::string& text);
  float TextSize() const;
  void TextSize(float points);  // one point is one screen pixel; 0: default
  void TextUnit(int32_t unit);

 private:
  friend class Window;
  explicit Label(Window& window);
};

// Two small arrow buttons, raising Up and Down.
class UpDownArrows : public ControlOf<UpDownArrows> {
 public:
  std::string ClassName() const override { return "UpDownArrows"; }
  void PushUp();    // as a click on the up arrow
  void PushDown();  // as a click on the down arrow

 private:
  friend class Window;
  explicit UpDownArrows(Window& window);
};

// Mode 0 off, 1 one-shot, 2 repeating; Period in ms. Setting Mode arms the
// timer for a full period from that moment. A timer belongs to its window
// and stops when the window closes.
class Timer : public ControlOf<Timer> {
 public:
  ~Timer() override;
  std::string ClassName() const override { return "Timer"; }
  int32_t Mode() const { return mode_; }
  void Mode(int32_t mode);
  int32_t Period() const { return period_; }
  void Period(int32_t ms);
  bool Armed() const;
  void Stop();
  int FireCount() const { return fires_; }  // Action events raised so far

 private:
  friend class Window;
  explicit Timer(Window& window);
  void Arm();
  QTimer* timer_;
  int32_t mode_ = 0, period_ = 1000;
  int fires_ = 0;
};

// Registers the add-on controls (the up/down arrows) with the platform; the
// start-up calls it once before the application object exists.
void RuntimeLoadAddOns();
bool RuntimeAddOnsLoaded();
