// The printing module: Qt's printer and print dialog.
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/internal/PrintModule.h"

namespace {

// A file of its own beside path, created empty for the PDF writer to fill;
// empty when the folder takes no new file.
QString NewFileBeside(const QString& path) {
  const QFileInfo target(path);
  const QDir folder = target.absoluteDir();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString name = QStringLiteral(".%1.%2.part")
                             .arg(target.fileName())
                             .arg(QRandomGenerator::global()->generate(), 8, 36, QLatin1Char('0'));
    QFile file(folder.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return file.fileName();
    if (!file.exists()) break;  // not a name taken by chance: the folder refuses
  }
  return QString();
}

// True when the PDF file was written whole: the trailer at its end points
// at the cross-reference table, and every object stands where the table
// says. A write that failed part way (a full disk, a file size limit)
// leaves either no trailer or objects away from their places.
bool IsWholePdf(QFile& file) {
  const QByteArray pdf = file.readAll();
  if (!pdf.startsWith("%PDF-")) return false;
  static const QRegularExpression tail(QStringLiteral("startxref\\s+(\\d+)\\s+%%EOF\\s*$"));
  const QRegularExpressionMatch end = tail.match(QString::fromLatin1(pdf.right(64)));
  if (!end.hasMatch()) return false;
  bool ok = false;
  const qsizetype xref = end.captured(1).toLongLong(&ok);
  if (!ok || xref <= 0 || xref >= pdf.size() || pdf.mid(xref, 4) != "xref") return false;
  // Subsections "first count", each followed by count entries
  // "offset generation n|f", up to the trailer.
  const QList<QByteArray> lines = pdf.mid(xref).split('\n');
  int at = 1;
  int objects = 0;
  while (at < lines.size() && !lines[at].startsWith("trailer")) {
    const QList<QByteArray> head = lines[at++].simplified().split(' ');
    if (head.size() != 2) return false;
    const int first = head[0].toInt(&ok);
    if (!ok) return false;
    const int count = head[1].toInt(&ok);
    if (!ok || count < 0 || at + count > lines.size()) return false;
    for (int i = 0; i < count; ++i) {
      const QList<QByteArray> entry = lines[at++].simplified().split(' ');
      if (entry.size() != 3) return false;
      if (entry[2] != "n") continue;
      const qsizetype offset = entry[0].toLongLong(&ok);
      if (!ok || offset <= 0 || offset >= xref) return false;
      const QByteArray object = QByteArray::number(first + i) + ' ' + QByteArray::number(entry[1].toInt()) + " obj";
      if (pdf.mid(offset, object.size()) != object) return false;
      ++objects;
    }
  }
  return at < lines.size() && objects > 0;
}

// The dialog opens over the window it belongs to, which may sit at the
// bottom of the screen, and grows downwards when the operator opens its
// lower half (the range and the copies): it is moved back onto the screen.
class KeepOnScreen : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Resize && event->type() != QEvent::Show) return false;
    auto* dialog = static_cast<QWidget*>(watched);
    const QScreen* screen = dialog->screen();
    if (!screen || !dialog->isVisible()) return false;
    const QRect room = screen->availableGeometry();
    const QRect frame = dialog->frameGeometry();
    QPoint corner = frame.topLeft();
    corner.setX(std::max(room.left(), std::min(corner.x(), room.right() + 1 - frame.width())));
    corner.setY(std::max(room.top(), std::min(corner.y(), room.bottom() + 1 - frame.height())));
    if (corner != frame.topLeft()) dialog->move(corner);
    return false;
  }
};

class QtPrintJob : public PrintJob {
 public:
  QtPrintJob() : printer_(QPrinter::HighResolution) {}
  ~QtPrintJob() override { Discard(); }

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

  // A PDF file is written beside its destination first (see PrintModule.h).
  void WriteBesideTheFile() {
    if (printer_.outputFormat() != QPrinter::PdfFormat) return;
    target_ = printer_.outputFileName();
    // A link in the destination's place stays a link: the file it leads to
    // is the one written.
    const QFileInfo destination(target_);
    if (destination.isSymLink())
      target_ = destination.exists() ? destination.canonicalFilePath() : destination.symLinkTarget();
    partial_ = NewFileBeside(target_);
    printer_.setOutputFileName(partial_);
  }

  bool Ready() const override { return printer_.outputFormat() != QPrinter::PdfFormat || !partial_.isEmpty(); }
  QPaintDevice* Device() override { return &printer_; }
  bool NewPage() override { return printer_.newPage(); }
  double Resolution() const override { return printer_.resolution(); }
  QRectF Sheet() const override { return printer_.paperRect(QPrinter::DevicePixel); }

  PrintChoices Choices() const override {
    PrintChoices c;
    // A printer that makes copies itself has been told how many.
    c.Copies = printer_.supportsMultipleCopies() ? 1 : printer_.copyCount();
    c.Collate = printer_.collateCopies();
    c.LastPageFirst = printer_.pageOrder() == QPrinter::LastPageFirst;
    if (printer_.printRange() == QPrinter::PageRange) {
      c.FromPage = printer_.fromPage();
      c.ToPage = printer_.toPage();
    }
    return c;
  }

  bool Finish() override {
    if (partial_.isEmpty()) return printer_.printerState() != QPrinter::Error;
    QFile file(partial_);
    const bool whole = file.open(QIODevice::ReadOnly) && ::fsync(file.handle()) == 0 && IsWholePdf(file);
    file.close();
    if (!whole) {
      Discard();
      return false;
    }
    // In the destination's place at once: a file that stood there keeps
    // its permissions.
    if (QFile::exists(target_)) QFile::setPermissions(partial_, QFile::permissions(target_));
    if (std::rename(QFile::encodeName(partial_).constData(), QFile::encodeName(target_).constData()) != 0) {
      Discard();
      return false;
    }
    partial_.clear();
    return true;
  }

  void Discard() override {
    if (partial_.isEmpty()) return;
    QFile::remove(partial_);
    partial_.clear();
  }

 private:
  QPrinter printer_;
  QString target_, partial_;
};

class QtPrintSupport : public PrintSupport {
 public:
  std::unique_ptr<PrintJob> NewPdfJob(const QString& path, QSizeF sheet, const PrintChoices& choices) override {
    auto job = std::make_unique<QtPrintJob>();
    QPrinter& printer = job->Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setCopyCount(choices.Copies);
    printer.setCollateCopies(choices.Collate);
    printer.setPageOrder(choices.LastPageFirst ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
    if (choices.FromPage > 0 || choices.ToPage > 0) {
      printer.setPrintRange(QPrinter::PageRange);
      printer.setFromTo(choices.FromPage, choices.ToPage);
    }
    job->PrepareForPoints(sheet);
    job->WriteBesideTheFile();
    return job;
  }

  std::unique_ptr<PrintJob> AskDesktop(QWidget* over, QSizeF sheet) override {
    auto job = std::make_unique<QtPrintJob>();
    job->SetSheet(sheet);
    {
      KeepOnScreen keeper;
      QPrintDialog dialog(&job->Printer(), over);
      dialog.installEventFilter(&keeper);
      // The range, copies, collation and order apply to a PDF file as to a
      // printer: the program carries out what the printer does not. There
      // is no selection or current page to print.
      dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
      dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
      dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
      dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
      if (dialog.exec() != QDialog::Accepted) return nullptr;
    }
    job->PrepareForPoints(QSizeF());
    job->WriteBesideTheFile();
    return job;
  }
};

}  // namespace

SERVALO_MODULE_ENTRY(print) {
  static QtPrintSupport support;
  return &support;
}
