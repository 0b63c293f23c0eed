#include "platform/Printing.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

#include "platform/Dialogs.h"
#include "platform/Window.h"
#include "platform/internal/Native.h"
#include "platform/internal/PrintModule.h"

namespace {

constexpr double kBoxWidth = 540, kBoxHeight = 720;
// The least margin kept around a box that had to be scaled down.
constexpr double kLeastMargin = 18;

QSizeF SheetOf(const PrinterSetup* setup) {
  if (setup && setup->PageWidth > 0 && setup->PageHeight > 0) return QSizeF(setup->PageWidth, setup->PageHeight);
  return QSizeF();
}

class DesktopPrinterDialog : public IPrinterDialog {
 public:
  std::unique_ptr<Graphics> OpenPrinterDialog(const PrinterSetup* setup, Window* parent) override {
    QWidget* over = parent ? static_cast<QWidget*>(parent->Native()) : QApplication::activeWindow();
    PrintSupport* support = RuntimePrintSupport();
    if (!support) {
      RuntimeMsgBox("Printing is not available: the printing support could not be loaded.");
      return nullptr;
    }
    std::unique_ptr<PrintJob> job = support->AskDesktop(over, SheetOf(setup));
    if (!job) return nullptr;
    auto surface = std::make_unique<PrinterGraphics>(std::move(job));
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
  std::unique_ptr<PrintJob> job;
  QPainter painter;
};

PrinterGraphics::PrinterGraphics(std::unique_ptr<PrintJob> job) : impl_(std::make_unique<Impl>()) {
  impl_->job = std::move(job);
  if (impl_->painter.begin(impl_->job->Device())) PlacePageBox();
}

PrinterGraphics::~PrinterGraphics() {
  if (impl_->painter.isActive()) impl_->painter.end();
}

bool PrinterGraphics::Active() const { return impl_->painter.isActive(); }

QPainter& PrinterGraphics::Painter() { return impl_->painter; }

void PrinterGraphics::NextPage() {
  if (!Active()) return;
  impl_->job->NewPage();
  PlacePageBox();
}

// The box's origin and scale on the sheet, set again on every page.
void PrinterGraphics::PlacePageBox() {
  const double dpi = impl_->job->Resolution();
  const QRectF sheet = impl_->job->Sheet();
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
  PrintSupport* support = RuntimePrintSupport();
  if (!support) return nullptr;
  const PrinterSetup letter;
  auto surface = std::make_unique<PrinterGraphics>(support->NewPdfJob(ToQ(path), SheetOf(setup ? setup : &letter)));
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
