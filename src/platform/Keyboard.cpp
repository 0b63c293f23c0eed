#include "platform/Keyboard.h"

#include <QGuiApplication>

namespace {

// Qt asks the window system for the modifiers at this moment (on X11 by
// querying the pointer), not from the last key event it saw.
class DesktopKeyboard : public IKeyboard {
 public:
  bool AsyncOSKey() override {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
  }
  bool AsyncOptionKey() override { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier); }
};

IKeyboard* installed = nullptr;

}  // namespace

IKeyboard& RuntimeKeyboard() {
  static DesktopKeyboard desktop;
  return installed ? *installed : desktop;
}

void RuntimeSetKeyboard(IKeyboard* service) { installed = service; }
