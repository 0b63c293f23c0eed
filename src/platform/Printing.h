// Printing: the desktop's print dialog, behind a small interface so that
// tests can answer it, and the page surface it returns.
//
// A page surface is a Graphics in which one unit is 1/72 inch and the page
// box is 540 x 720 units (a US Letter sheet less half-inch margins). The
// box is centred on the sheet the operator chose; on a sheet too small for
// it, it is scaled down to fit.
//
// The program draws its pages one after the other; the surface prints them
// as the operator chose in the dialog: the pages of the chosen range, last
// page first when asked, and as many copies as asked (collated or page by
// page) where the printer does not make the copies itself. When any of
// that changes what goes out, the pages are kept until the surface is
// released and go out then.
#pragma once

#include <memory>
#include <string>

#include "platform/Graphics.h"

class PrintJob;
class Window;

// The sheet the dialog proposes, in units of 1/72 inch.
struct PrinterSetup {
  double PageWidth = 612;
  double PageHeight = 792;
};

// The choices of the print dialog that the program carries out itself.
struct PrintChoices {
  int32_t Copies = 1;
  bool Collate = true;  // whole copies one after the other, not each page n times
  bool LastPageFirst = false;
  // The pages to print, counted from 1, both included; 0 and 0: every page.
  int32_t FromPage = 0, ToPage = 0;
};

class PrinterGraphics : public Graphics {
 public:
  // Takes a print job that is set up with its destination; starts the first
  // page. Check Active(): a destination that cannot be opened gives an
  // inactive surface.
  explicit PrinterGraphics(std::unique_ptr<PrintJob> job);
  // Ends the job: the pages go to the printer or the file. When that
  // fails, or the chosen range holds none of the pages, the operator is
  // told so and nothing is printed.
  ~PrinterGraphics() override;

  int32_t Width() const override { return 540; }
  int32_t Height() const override { return 720; }
  void NextPage() override;
  void Paint(std::function<void(QPainter&)> draw) override;
  QPaintDevice* Device() override;
  bool Active() const;

 protected:
  QPainter& Painter() override;

 private:
  bool Begin();
  void PlacePageBox();
  void PrintKeptPages();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A page surface that writes its pages to a PDF file (the sheet of setup,
// or US Letter), printed as if the operator had made the given choices in
// the dialog; nothing when the file cannot be written or the printing
// module cannot be loaded.
std::unique_ptr<PrinterGraphics> RuntimeNewPdfPageSurface(const std::string& path,
                                                          const PrinterSetup* setup = nullptr,
                                                          const PrintChoices& choices = PrintChoices());

class IPrinterDialog {
 public:
  virtual ~IPrinterDialog() = default;
  // Shows the dialog; the page surface for the operator's choice, or
  // nothing when cancelled.
  virtual std::unique_ptr<Graphics> OpenPrinterDialog(const PrinterSetup* setup, Window* parent) = 0;
};

IPrinterDialog& RuntimePrinterDialog();
void RuntimeSetPrinterDialog(IPrinterDialog* service);  // nullptr: the desktop's again

// The desktop's print dialog (a PDF file is one of its destinations) over
// the parent window, or the front window when none is given; setup: the
// sheet to propose, or the printer's own when none is given. Returns the
// page surface, or nothing when the operator cancels. When the chosen
// destination cannot be opened, the operator is told so and nothing is
// returned.
std::unique_ptr<Graphics> RuntimeOpenPrinterDialog(const PrinterSetup* setup = nullptr, Window* parent = nullptr);
