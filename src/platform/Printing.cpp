#include "platform/Printing.h"

#include <QApplication>
#include <QEvent>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

#include "platform/Dialogs.h"
#include "platform/Window.h"
#include "platform/internal/Native.h"

namespace {

constexpr double kBoxWidth = 540, kBoxHeight = 720;
// The least margin kept around a box that had to be scaled down.
constexpr double kLeastMargin = 18;

// One device unit is one point: the printer works at 72 dots per inch.
// Text and lines stay vectors in the job, so nothing is lost by it.
void PrepareForPoints(QPrinter& printer, const PrinterSetup* setup) {
  if (setup && setup->PageWidth > 0 && setup->PageHeight > 0)
    printer.setPageSize(QPageSize(QSizeF(setup->PageWidth, setup->PageHeight), QPageSize::Point));
  printer.setResolution(72);
  printer.setFullPage(true);  // the origin at the sheet's corner; the box is placed by hand
}

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

class DesktopPrinterDialog : public IPrinterDialog {
 public:
  std::unique_ptr<Graphics> OpenPrinterDialog(const PrinterSetup* setup, Window* parent) override {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (setup && setup->PageWidth > 0 && setup->PageHeight > 0)
      printer->setPageSize(QPageSize(QSizeF(setup->PageWidth, setup->PageHeight), QPageSize::Point));
    QWidget* over = parent ? static_cast<QWidget*>(parent->Native()) : QApplication::activeWindow();
    {
      PageRangeHider hider;
      QPrintDialog dialog(printer.get(), over);
      // Every page is printed: no range, selection or current page is
      // offered that the print would ignore.
      dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
      dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
      dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
      dialog.installEventFilter(&hider);
      if (dialog.exec() != QDialog::Accepted) return nullptr;
    }
    PrepareForPoints(*printer, nullptr);
    auto surface = std::make_unique<PrinterGraphics>(std::move(printer));
    if (!surface->Active()) {
      RuntimeMsgBox("The printer could not be opened. Nothing was printed.");
      return nullptr;
    }
    return surface;
  }
};

IPrinterDialog* installed = nullptr;

}  // namespace

struct PrinterGraphics::Impl {
  std::unique_ptr<QPrinter> printer;
  QPainter painter;
};

PrinterGraphics::PrinterGraphics(std::unique_ptr<QPrinter> printer) : impl_(std::make_unique<Impl>()) {
  impl_->printer = std::move(printer);
  if (impl_->painter.begin(impl_->printer.get())) PlacePageBox();
}

PrinterGraphics::~PrinterGraphics() {
  if (impl_->painter.isActive()) impl_->painter.end();
}

bool PrinterGraphics::Active() const { return impl_->painter.isActive(); }

QPainter& PrinterGraphics::Painter() { return impl_->painter; }

void PrinterGraphics::NextPage() {
  if (!Active()) return;
  impl_->printer->newPage();
  PlacePageBox();
}

// The box's origin and scale on the sheet, set again on every page.
void PrinterGraphics::PlacePageBox() {
  const double dpi = impl_->printer->resolution();
  const QRectF sheet = impl_->printer->paperRect(QPrinter::DevicePixel);
  const double sheetW = sheet.width() * 72.0 / dpi, sheetH = sheet.height() * 72.0 / dpi;
  double scale = 1.0;
  if (sheetW < kBoxWidth + 2 * kLeastMargin || sheetH < kBoxHeight + 2 * kLeastMargin)
    scale = std::min((sheetW - 2 * kLeastMargin) / kBoxWidth, (sheetH - 2 * kLeastMargin) / kBoxHeight);
  scale = std::max(scale, 0.05);
  QPainter& p = impl_->painter;
  p.resetTransform();
  p.scale(dpi / 72.0, dpi / 72.0);
  p.translate((sheetW - kBoxWidth * scale) / 2, (sheetH - kBoxHeight * scale) / 2);
  p.scale(scale, scale);
}

std::unique_ptr<PrinterGraphics> RuntimeNewPdfPageSurface(const std::string& path, const PrinterSetup* setup) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(ToQ(path));
  const PrinterSetup letter;
  PrepareForPoints(*printer, setup ? setup : &letter);
  auto surface = std::make_unique<PrinterGraphics>(std::move(printer));
  if (!surface->Active()) return nullptr;
  return surface;
}

IPrinterDialog& RuntimePrinterDialog() {
  static DesktopPrinterDialog desktop;
  return installed ? *installed : desktop;
}

void RuntimeSetPrinterDialog(IPrinterDialog* service) { installed = service; }

std::unique_ptr<Graphics> RuntimeOpenPrinterDialog(const PrinterSetup* setup, Window* parent) {
  return RuntimePrinterDialog().OpenPrinterDialog(setup, parent);
}
