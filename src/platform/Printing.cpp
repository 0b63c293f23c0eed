#include "platform/Printing.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Window.h"
#include "platform/internal/Native.h"
#include "platform/internal/PrintModule.h"

namespace {

constexpr double kBoxWidth = 540, kBoxHeight = 720;
// The least margin kept around a box that had to be scaled down.
constexpr double kLeastMargin = 18;

constexpr const char* kNotOpened = "The printer could not be opened. Nothing was printed.";
constexpr const char* kNotWritten = "The pages could not be written. Nothing was printed.";
constexpr const char* kNoPages = "The chosen pages do not exist. Nothing was printed.";

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
      RuntimeMsgBox(kNotOpened);
      return nullptr;
    }
    return surface;
  }
};

IPrinterDialog* installed = nullptr;

// The pages to print, from 0, in the order they go out: the chosen range
// of the pages drawn, reversed when asked, each copy whole after the other
// or each page as often as there are copies.
std::vector<size_t> PageSequence(size_t drawn, const PrintChoices& c) {
  std::vector<size_t> chosen;
  const size_t from = c.FromPage > 0 ? size_t(c.FromPage) : 1;
  const size_t to = c.ToPage > 0 ? std::min(size_t(c.ToPage), drawn) : drawn;
  for (size_t page = from; page <= to; ++page) chosen.push_back(page - 1);
  if (c.LastPageFirst) std::reverse(chosen.begin(), chosen.end());
  const size_t copies = size_t(std::max(c.Copies, 1));
  std::vector<size_t> sequence;
  sequence.reserve(chosen.size() * copies);
  if (c.Collate) {
    for (size_t copy = 0; copy < copies; ++copy) sequence.insert(sequence.end(), chosen.begin(), chosen.end());
  } else {
    for (size_t page : chosen) sequence.insert(sequence.end(), copies, page);
  }
  return sequence;
}

// Every page once, first page first: what the program draws goes out as
// it is drawn.
bool AsDrawn(const PrintChoices& c) {
  return c.Copies <= 1 && !c.LastPageFirst && c.FromPage <= 0 && c.ToPage <= 0;
}

}  // namespace

struct PrinterGraphics::Impl {
  std::unique_ptr<PrintJob> job;
  QPainter painter;
  PrintChoices choices;
  bool kept = false;  // pages are kept until the surface is released
  bool failed = false;  // the destination could not be opened
  std::vector<std::vector<std::function<void(QPainter&)>>> pages;
};

PrinterGraphics::PrinterGraphics(std::unique_ptr<PrintJob> job) : impl_(std::make_unique<Impl>()) {
  impl_->job = std::move(job);
  impl_->choices = impl_->job->Choices();
  impl_->kept = !AsDrawn(impl_->choices);
  if (impl_->kept) {
    // The printer is opened when the pages go out: a range that holds none
    // of them then prints nothing at all.
    impl_->failed = !impl_->job->Ready();
    impl_->pages.emplace_back();
  } else {
    impl_->failed = !Begin();
  }
}

PrinterGraphics::~PrinterGraphics() {
  Impl& d = *impl_;
  if (d.failed) {
    // Nothing was drawn; whoever made the surface has said why.
    if (d.painter.isActive()) d.painter.end();
    d.job->Discard();
    return;
  }
  if (d.kept) {
    PrintKeptPages();
    return;
  }
  d.painter.end();
  if (!d.job->Finish()) RuntimeMsgBox(kNotWritten);
}

bool PrinterGraphics::Active() const { return !impl_->failed; }

bool PrinterGraphics::Begin() {
  if (!impl_->job->Ready() || !impl_->painter.begin(impl_->job->Device())) return false;
  PlacePageBox();
  return true;
}

QPainter& PrinterGraphics::Painter() { return impl_->painter; }

QPaintDevice* PrinterGraphics::Device() { return impl_->job->Device(); }

void PrinterGraphics::Paint(std::function<void(QPainter&)> draw) {
  if (!Active()) return;
  if (impl_->kept) impl_->pages.back().push_back(std::move(draw));
  else draw(impl_->painter);
}

void PrinterGraphics::NextPage() {
  if (!Active()) return;
  if (impl_->kept) {
    impl_->pages.emplace_back();
    return;
  }
  impl_->job->NewPage();
  PlacePageBox();
}

void PrinterGraphics::PrintKeptPages() {
  Impl& d = *impl_;
  const std::vector<size_t> sequence = PageSequence(d.pages.size(), d.choices);
  if (sequence.empty()) {
    d.job->Discard();
    RuntimeMsgBox(kNoPages);
    return;
  }
  if (!Begin()) {
    if (d.painter.isActive()) d.painter.end();
    d.job->Discard();
    RuntimeMsgBox(kNotOpened);
    return;
  }
  for (size_t i = 0; i < sequence.size(); ++i) {
    if (i > 0) {
      d.job->NewPage();
      PlacePageBox();
    }
    for (const auto& draw : d.pages[sequence[i]]) draw(d.painter);
  }
  d.painter.end();
  if (!d.job->Finish()) RuntimeMsgBox(kNotWritten);
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

std::unique_ptr<PrinterGraphics> RuntimeNewPdfPageSurface(const std::string& path, const PrinterSetup* setup,
                                                          const PrintChoices& choices) {
  PrintSupport* support = RuntimePrintSupport();
  if (!support) return nullptr;
  const PrinterSetup letter;
  auto surface =
      std::make_unique<PrinterGraphics>(support->NewPdfJob(ToQ(path), SheetOf(setup ? setup : &letter), choices));
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
