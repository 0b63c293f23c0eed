// Test doubles for printing and the clock. Install on construction, restore
// the desktop's service on destruction.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "platform/Printing.h"

// Answers the print dialog: cancelled, or a page surface writing the PDF
// file at path with the operator's choices.
class FakePrinterDialog : public IPrinterDialog {
 public:
  explicit FakePrinterDialog(std::string pdfPath);
  ~FakePrinterDialog() override;
  std::unique_ptr<Graphics> OpenPrinterDialog(const PrinterSetup* setup, Window* parent) override;

  std::string path;
  PrintChoices choices;
  bool cancel = false;
  int opened = 0;
  std::vector<bool> setupGiven;
  std::function<void()> onOpen;  // runs while the dialog is "up"
};

class FakeClock : public IClock {
 public:
  FakeClock() { RuntimeSetClock(this); }
  ~FakeClock() override { RuntimeSetClock(nullptr); }
  DateTimeParts Now() override { return now; }
  DateTimeParts now{2026, 3, 5, 14, 7, 9};
};
