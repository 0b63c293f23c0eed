// The live state of the modifier keys, read at any moment without a key
// event, whichever window (of any program) has the focus. The Command key
// is Qt's Control (Ctrl on Linux, Command on macOS); the Option key is Alt.
#pragma once

class IKeyboard {
 public:
  virtual ~IKeyboard() = default;
  virtual bool AsyncOSKey() = 0;      // the Command key is down now
  virtual bool AsyncOptionKey() = 0;  // the Option key is down now
};

IKeyboard& RuntimeKeyboard();
void RuntimeSetKeyboard(IKeyboard* service);  // nullptr: the desktop's again

// The platform's keyboard object.
struct KeyboardObject {
  bool AsyncOSKey() const { return RuntimeKeyboard().AsyncOSKey(); }
  bool AsyncOptionKey() const { return RuntimeKeyboard().AsyncOptionKey(); }
};
inline constexpr KeyboardObject Keyboard{};
