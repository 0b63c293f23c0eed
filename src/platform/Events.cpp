#include "platform/Events.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/Control.h"
#include "platform/Dialogs.h"

bool RuntimeSameParamList(const std::string& a, const std::string& b) {
  auto squeeze = [](const std::string& s) {
    std::string out;
    for (char c : s)
      if (c != ' ') out += c;
    return out;
  };
  return squeeze(a) == squeeze(b);
}

void RuntimeReportUnhandledException(const std::string& what) {
  const std::string text = "An exception was not handled: " + what + "\nThe application will now quit.";
  std::fprintf(stderr, "servalo: %s\n", text.c_str());
  std::fflush(stderr);
  static bool reporting = false;
  if (!reporting) {
    reporting = true;
    RuntimeDialogs().MsgBox(text);
  }
  std::_Exit(1);
}

void RuntimeGuard(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    RuntimeReportUnhandledException(e.what());
  } catch (...) {
    RuntimeReportUnhandledException("unknown exception");
  }
}

void RuntimeAddEventHandler(Control& control, const std::string& event, const Delegate& handler) {
  control.AddEventHandler(event, handler);
}
