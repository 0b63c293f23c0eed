#include "shell/Startup.h"

#include "calling/CallingState.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "settings/Settings.h"
#include "shell/App.h"
#include "shell/MenuBar1.h"

int RunServalo(int argc, char** argv) {
  Runtime runtime(argc, argv);  // 1. the platform's run-time
  InitDirectives();             // 2. the module-level items
  InitCallingState();
  RuntimeLoadAddOns();  // 3. the add-on controls (the up/down arrows)
  App app;              // 4. the application object
  RuntimeRegisterApplication(app);
  BindAppMenuHandlers(app);                // 5. its menu commands
  const int status = RuntimeRunEventLoop();  // 6, 7. Open, then every event
  ReleaseDirectives();
  ReleaseTableOrder();
  ReleaseTableSequence();
  ReleaseMenuBar1();
  return runtime.Exit(status);
}
