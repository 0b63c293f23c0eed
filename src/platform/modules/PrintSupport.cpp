// The printing module: Qt's printer and print dialog.
#include <QEvent>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/internal/PrintModule.h"

namespace {

// Built with print-server support, the dialog shows its page range again
// on every show, whatever its options say, for the server to apply; a PDF
// file gets every page all the same. So the range is hidden once the
// dialog is up.
class PageRangeHider : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show)
      if (auto* range = watched->findChild<QWidget*>("gbPrintRange")) range->hide();
    return false;
  }
};

class QtPrintJob : public PrintJob {
 public:
  QtPrintJob() : printer_(QPrinter::HighResolution) {}

  QPrinter& Printer() { return printer_; }

  // One device unit is one point: the printer works at 72 dots per inch.
  // Text and lines stay vectors in the job, so nothing is lost by it.
  void PrepareForPoints(QSizeF sheet) {
    SetSheet(sheet);
    printer_.setResolution(72);
    printer_.setFullPage(true);  // the origin at the sheet's corner; the box is placed by hand
  }

  void SetSheet(QSizeF sheet) {
    if (sheet.width() > 0 && sheet.height() > 0) printer_.setPageSize(QPageSize(sheet, QPageSize::Point));
  }

  QPaintDevice* Device() override { return &printer_; }
  bool NewPage() override { return printer_.newPage(); }
  double Resolution() const override { return printer_.resolution(); }
  QRectF Sheet() const override { return printer_.paperRect(QPrinter::DevicePixel); }

 private:
  QPrinter printer_;
};

class QtPrintSupport : public PrintSupport {
 public:
  std::unique_ptr<PrintJob> NewPdfJob(const QString& path, QSizeF sheet) override {
    auto job = std::make_unique<QtPrintJob>();
    job->Printer().setOutputFormat(QPrinter::PdfFormat);
    job->Printer().setOutputFileName(path);
    job->PrepareForPoints(sheet);
    return job;
  }

  std::unique_ptr<PrintJob> AskDesktop(QWidget* over, QSizeF sheet) override {
    auto job = std::make_unique<QtPrintJob>();
    job->SetSheet(sheet);
    {
      PageRangeHider hider;
      QPrintDialog dialog(&job->Printer(), over);
      // Every page is printed: no range, selection or current page is
      // offered that the print would ignore.
      dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
      dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
      dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
      dialog.installEventFilter(&hider);
      if (dialog.exec() != QDialog::Accepted) return nullptr;
    }
    job->PrepareForPoints(QSizeF());
    return job;
  }
};

}  // namespace

SERVALO_MODULE_ENTRY(print) {
  static QtPrintSupport support;
  return &support;
}
