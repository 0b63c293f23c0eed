// The printing module: Qt's printer and print dialog.
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/internal/PrintModule.h"

namespace {

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
      QPrintDialog dialog(&job->Printer(), over);
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
