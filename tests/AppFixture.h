// A fresh run of the program inside a test: start values, the application
// object with its menu commands, and test doubles for every OS-facing
// service. Discards every window when it goes.
#pragma once

#include "calling/CallingState.h"
#include "platform/Application.h"
#include "platform/Window.h"
#include "platform/testing/Fakes.h"
#include "platform/testing/TestRuntime.h"
#include "settings/Settings.h"
#include "shell/App.h"
#include "shell/MenuBar1.h"

struct AppFixture {
  FakeDialogs dialogs;
  FakeUrlOpener urls;
  FakeKeyboard keys;
  FakeSpeech speech;
  App app;

  AppFixture() {
    RuntimeDiscardAllWindows();
    RuntimeResetQuit();
    InitDirectives();
    InitCallingState();
    RuntimeRegisterApplication(app);
    BindAppMenuHandlers(app);
  }
  ~AppFixture() {
    RuntimeDiscardAllWindows();
    RuntimeResetQuit();
    ReleaseDirectives();
    ReleaseMenuBar1();
  }
};
