// The printing module (libservalo-print.so): the printer and the
// desktop's print dialog, the only users of Qt's print support.
#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>

#include "platform/internal/Modules.h"

class QPaintDevice;
class QWidget;

// One print job. Paint on Device() with one device unit to the point; the
// job goes to the printer or the file when the painter ends and the job is
// destroyed.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  virtual QPaintDevice* Device() = 0;
  virtual bool NewPage() = 0;
  virtual double Resolution() const = 0;
  // The whole sheet, in device units.
  virtual QRectF Sheet() const = 0;
};

class PrintSupport {
 public:
  virtual ~PrintSupport() = default;
  // A job that writes a PDF file on a sheet of the given size in points.
  virtual std::unique_ptr<PrintJob> NewPdfJob(const QString& path, QSizeF sheet) = 0;
  // The desktop's print dialog over the window; sheet: the size in points
  // to propose, or empty for the printer's own. Nothing when cancelled.
  virtual std::unique_ptr<PrintJob> AskDesktop(QWidget* over, QSizeF sheet) = 0;
};

// The module, loaded on first use; nullptr when it cannot be loaded.
inline PrintSupport* RuntimePrintSupport() { return RuntimeModule<PrintSupport>("print"); }
