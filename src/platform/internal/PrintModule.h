// The printing module (libservalo-print.so): the printer and the
// desktop's print dialog, the only users of Qt's print support.
#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>

#include "platform/Printing.h"
#include "platform/internal/Modules.h"

class QPaintDevice;
class QWidget;

// One print job. Lay the pages out for Device() and paint on it with one
// device unit to the point; once the painter has ended, Finish hands the
// pages on. A job that is given up is discarded instead.
//
// A job for a PDF file writes a file of its own beside the destination and
// puts it in the destination's place only when it was written whole, so
// that a failed print leaves no broken file behind and a file that stood
// there before stays as it was.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  // False when the destination cannot be written at all.
  virtual bool Ready() const = 0;
  virtual QPaintDevice* Device() = 0;
  virtual bool NewPage() = 0;
  virtual double Resolution() const = 0;
  // The whole sheet, in device units.
  virtual QRectF Sheet() const = 0;
  // What the operator chose that the program has to carry out itself:
  // the copies the printer does not make on its own, their collation, the
  // page order and the range of pages.
  virtual PrintChoices Choices() const = 0;
  // After the painter has ended: true when the pages went to the printer
  // or into the file whole.
  virtual bool Finish() = 0;
  // Nothing is printed; a painter that ran on the job has ended.
  virtual void Discard() = 0;
};

class PrintSupport {
 public:
  virtual ~PrintSupport() = default;
  // A job that writes a PDF file on a sheet of the given size in points,
  // with the choices an operator could have made in the print dialog.
  virtual std::unique_ptr<PrintJob> NewPdfJob(const QString& path, QSizeF sheet, const PrintChoices& choices) = 0;
  // The desktop's print dialog over the window; sheet: the size in points
  // to propose, or empty for the printer's own. Nothing when cancelled.
  virtual std::unique_ptr<PrintJob> AskDesktop(QWidget* over, QSizeF sheet) = 0;
};

// The module, loaded on first use; nullptr when it cannot be loaded.
inline PrintSupport* RuntimePrintSupport() { return RuntimeModule<PrintSupport>("print"); }
