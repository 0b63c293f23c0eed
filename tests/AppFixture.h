// A fresh run of the program inside a test: start values, the application
// object with its menu commands, and test doubles for every OS-facing
// service. Discards every window when it goes.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include "calling/CallingState.h"
#include "platform/Application.h"
#include "platform/Window.h"
#include "platform/testing/Fakes.h"
#include "platform/testing/TestRuntime.h"
#include "settings/Settings.h"
#include "shell/App.h"
#include "shell/MenuBar1.h"

// Fresh: a preferences folder of the fixture's own, so no run sees
// another's settings. Keep: the folder the test has set up.
enum PrefsChoice { FreshPrefs, KeepPrefs };

struct AppFixture {
  QTemporaryDir prefs;
  QByteArray formerPrefs = qgetenv("XDG_CONFIG_HOME");
  FakeDialogs dialogs;
  FakeUrlOpener urls;
  FakeKeyboard keys;
  FakeSpeech speech;
  App app;

  explicit AppFixture(PrefsChoice choice = FreshPrefs) {
    if (choice == FreshPrefs) qputenv("XDG_CONFIG_HOME", prefs.path().toUtf8());
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
    qputenv("XDG_CONFIG_HOME", formerPrefs);
  }
};
