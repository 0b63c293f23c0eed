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

// The platform's run-time: owns the GUI toolkit for the life of the process.
// It starts the toolkit on the X11 window system unless the user has chosen
// one, gives every window the application's icon, and names the
// application's desktop entry ("servalo") to the desktop.
class Runtime {
 public:
  Runtime(int& argc, char** argv);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;
  // The run-time's exit step: discards what is left and gives the status.
  int Exit(int status);
};

// The arguments the GUI toolkit starts with: the program's own and, unless
// the user has chosen a window system (QT_QPA_PLATFORM set, or a -platform
// argument), a request for X11.
std::vector<std::string> RuntimeToolkitArguments(int argc, char** argv);

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
