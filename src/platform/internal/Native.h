// Qt side of the platform layer; included by the platform's sources only.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "platform/Events.h"

class Window;

inline QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
inline std::string FromQ(const QString& s) { return s.toUtf8().toStdString(); }

class NativeWindow : public QMainWindow {
 public:
  explicit NativeWindow(Window& owner);
  Window& Owner() const { return owner_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Window& owner_;
};

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
