// The main of every QtTest executable: a private preferences folder, the
// platform's run-time, then the test object.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

#include "platform/Application.h"
#include "platform/Controls.h"

#define SERVALO_TEST_MAIN(TestClass)                                          \
  int main(int argc, char** argv) {                                           \
    QTemporaryDir prefs;                                                      \
    qputenv("XDG_CONFIG_HOME", prefs.path().toUtf8());                        \
    qputenv("HOME", prefs.path().toUtf8());                                   \
    Runtime runtime(argc, argv);                                              \
    RuntimeLoadAddOns();                                                      \
    TestClass tc;                                                             \
    const int status = QTest::qExec(&tc, argc, argv);                         \
    return runtime.Exit(status);                                              \
  }
