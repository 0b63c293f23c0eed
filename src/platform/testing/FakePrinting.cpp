#include "platform/testing/FakePrinting.h"

FakePrinterDialog::FakePrinterDialog(std::string pdfPath) : path(std::move(pdfPath)) { RuntimeSetPrinterDialog(this); }
FakePrinterDialog::~FakePrinterDialog() { RuntimeSetPrinterDialog(nullptr); }

std::unique_ptr<Graphics> FakePrinterDialog::OpenPrinterDialog(const PrinterSetup* setup, Window* /*parent*/) {
  ++opened;
  setupGiven.push_back(setup != nullptr);
  if (onOpen) onOpen();
  if (cancel) return nullptr;
  return RuntimeNewPdfPageSurface(path, setup, choices);
}
