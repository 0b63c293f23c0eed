#include "shell/App.h"

#include "calling/Window1.h"
#include "platform/Design.h"
#include "settings/Settings.h"
#include "shell/AboutBox.h"
#include "shell/Help.h"
#include "shell/HelpPrinting.h"
#include "shell/MenuBar1.h"
#include "update/selfTest.h"

App::App() { Constructor(); }

App& AppInstance() {
  auto* app = dynamic_cast<App*>(RuntimeApplication());
  if (!app) RuntimeFail("the application object is not an App");
  return *app;
}

void BindAppMenuHandlers(App& app) {
  app.AddMenuHandler("CheckforUpdateCheckNow",
                     RuntimeCreateDelegate(&app, &App::CheckforUpdateCheckNow_Action, "(  ) as Boolean"));
  app.AddMenuHandler("FilePrint", RuntimeCreateDelegate(&app, &App::FilePrint_Action, "(  ) as Boolean"));
  app.AddMenuHandler("HelpAboutBox", RuntimeCreateDelegate(&app, &App::HelpAboutBox_Action, "(  ) as Boolean"));
  app.AddMenuHandler("HelpShowHelp", RuntimeCreateDelegate(&app, &App::HelpShowHelp_Action, "(  ) as Boolean"));
}

void App::Event_Open() {
  LoadSettings();
  Window1Instance().Show();
}

void App::Event_EnableMenuItems() {
  MenuBar1Instance().Child("HelpMenu").Child("HelpShowHelp").Enabled(true);
  MenuBar1Instance().Child("HelpMenu").Child("HelpAboutBox").Enabled(true);
}

bool App::CheckforUpdateCheckNow_Action() {
  selfTestInstance().Top(60);
  selfTestInstance().Left(20);
  selfTestInstance().Show();
  return true;
}

bool App::FilePrint_Action() {
  PrintHelpText();
  return true;
}

bool App::HelpAboutBox_Action() {
  AboutBoxInstance().Top(60);
  AboutBoxInstance().Left(20);
  AboutBoxInstance().Show();
  return true;
}

bool App::HelpShowHelp_Action() {
  HelpInstance().Top(60);
  HelpInstance().Left(20);
  HelpInstance().Show();
  return true;
}
