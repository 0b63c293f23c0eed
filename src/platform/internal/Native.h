// Qt side of the platform layer; included by the platform's sources only.
#pragma once

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QPalette>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/Design.h"
#include "platform/Events.h"

class Window;

inline QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
inline std::string FromQ(const QString& s) { return s.toUtf8().toStdString(); }

inline QColor ToQColor(const PropValue& v) {
  const Color c = std::get<Color>(v);
  return QColor(c.red, c.green, c.blue);
}

// A text control's designed alignment: 0 the default, 1 left, 2 centred,
// 3 right.
inline Qt::Alignment AlignmentOf(int32_t a) {
  switch (a) {
    case 1: return Qt::AlignLeft;
    case 2: return Qt::AlignHCenter;
    case 3: return Qt::AlignRight;
    default: return Qt::AlignLeading;
  }
}

class NativeWindow : public QMainWindow {
 public:
  explicit NativeWindow(Window& owner);
  Window& Owner() const { return owner_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Window& owner_;
};

// A design's text colour in the given roles of the enabled control, active
// window or not. The disabled state keeps the desktop's colour, so that a
// disabled control looks disabled.
void SetDesignTextColor(QWidget* w, const PropValue& v, std::initializer_list<QPalette::ColorRole> roles);

// A font family as the designs name it: "System" is the desktop's default
// user-interface font.
QString ResolveFontFamily(const std::string& family);

// Makes the window's default and cancel buttons answer Return and Escape.
void InstallDefaultButtonKeys(Window& window);

// Checks a menu-command delegate: "(  ) as Boolean", no arguments, Boolean.
std::shared_ptr<HandlerFn<bool>> RuntimeCheckMenuDelegate(const std::string& item, const Delegate& d);

// Discards windows: one that has closed, or all of them without events.
void RuntimeDisposeWindow(Window* window);
void RuntimeDiscardAllWindows();

#ifdef SERVALO_BENCH_HOOKS
// Measuring hook of the benchmark build: a wall-clock stamp on standard
// error, read by bench/run.sh.
void BenchStamp(const char* what);
#endif
