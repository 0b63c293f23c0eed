// The application: its object, events, version information, event loop and
// quitting.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Events.h"

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Raised once the event loop runs.
  virtual void Event_Open() {}
  // Raised before any menu is shown.
  virtual void Event_EnableMenuItems() {}

  // The running version, from the application package's version information.
  int32_t MajorVersion() const;
  int32_t MinorVersion() const;
  int32_t BugVersion() const;
  std::string ShortVersion() const;
  std::string LongVersion() const;

  // Menu commands bound by item name; the delegate's parameter list is
  // "(  ) as Boolean".
  void AddMenuHandler(const std::string& itemName, const Delegate& handler);
  bool HasMenuHandler(const std::string& itemName) const;
  bool HandleMenuCommand(const std::string& itemName);

 private:
  std::vector<std::pair<std::string, std::shared_ptr<HandlerFn<bool>>>> menuHandlers_;
};

// What the run-time finds out about the window systems before the GUI
// toolkit starts: the toolkit ends the process by abort when it cannot open
// the window system it was asked for.
class DisplayProbe {
 public:
  virtual ~DisplayProbe() = default;
  // An X server accepts a connection on the display (":0", "host:1.0").
  virtual bool XServerAnswers(const std::string& display) = 0;
  // A Wayland compositor listens on the display: a socket name in
  // XDG_RUNTIME_DIR, or a full path.
  virtual bool WaylandAnswers(const std::string& display) = 0;
  // The toolkit's Wayland platform plugin is installed.
  virtual bool WaylandPluginInstalled() = 0;
  // Lets go of what the probe kept open until the toolkit had connected.
  virtual void Release() {}
};

// The probe that asks the system. It keeps the X connection that answered
// open until Release, so that an X server whose only client it was does not
// reset between the probe and the toolkit.
DisplayProbe& RuntimeDisplayProbe();

// The arguments the GUI toolkit starts with, or why it cannot start.
struct ToolkitStart {
  std::vector<std::string> arguments;
  // When not empty: no window system can be reached, and this line tells
  // the operator which were tried; the toolkit must not be started.
  std::string failure;
};

// The program's own arguments and the window system to use:
// - unless the user has chosen one (a -platform argument, else
//   QT_QPA_PLATFORM), X11 when an X server answers on DISPLAY (or the
//   display a -display argument names); otherwise Wayland when
//   WAYLAND_DISPLAY is set, its compositor answers and the toolkit's Wayland
//   plugin is installed;
// - a user's choice is kept; when every window system it names is X11 or
//   Wayland and none of them can be reached, that is the failure;
// - a failure names each display that was tried.
ToolkitStart RuntimeToolkitArguments(int argc, char** argv, DisplayProbe& probe);

// The platform's run-time: owns the GUI toolkit for the life of the process.
// It starts the toolkit on the window system RuntimeToolkitArguments picks,
// gives every window the application's icon, and names the application's
// desktop entry ("servalo") to the desktop. When no window system can be
// reached it prints why on standard error and ends the process with
// status 1 before the toolkit starts.
class Runtime {
 public:
  Runtime(int& argc, char** argv);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;
  // The run-time's exit step: discards what is left and gives the status.
  int Exit(int status);
};

void RuntimeRegisterApplication(Application& app);
Application* RuntimeApplication();

// Raises the application's Open event once the loop runs, then runs the
// loop until the application quits; returns the exit code.
int RuntimeRunEventLoop();

// Quits: closes every open window (raising its Close event), then ends the
// event loop with the code. A call made while quitting only sets the code.
void RuntimeQuit(int exitCode);
bool RuntimeQuitting();

// Lets pending events run (for the program's own modal waits and tests).
void RuntimeProcessEvents();
