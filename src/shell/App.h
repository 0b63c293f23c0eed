// The application object: opens the control panel and handles the
// application's four menu commands.
#pragma once

#include "platform/Application.h"

class App : public Application {
 public:
  App();
  void Event_Open() override;
  void Event_EnableMenuItems() override;
  bool CheckforUpdateCheckNow_Action();
  bool FilePrint_Action();
  bool HelpAboutBox_Action();
  bool HelpShowHelp_Action();
  void Constructor() {}
};

App& AppInstance();

// Binds App's menu commands (start-up step 5).
void BindAppMenuHandlers(App& app);
