// Print Help through a print dialog that writes a PDF file, read back with
// pdftotext: the pages, their footers, and what each handler does with the
// help window.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMap>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <csignal>

#include "AppFixture.h"
#include "TestMain.h"
#include "calling/Window1.h"
#include "platform/Printing.h"
#include "platform/TextArea.h"
#include "platform/testing/FakePrinting.h"
#include "shell/Help.h"
#include "shell/HelpPrinting.h"

namespace {

struct Word {
  double xMin, yMin, xMax, yMax;
  QString text;
};

struct Page {
  double width = 0, height = 0;
  QList<Word> words;
};

QString Run(const QStringList& args, const QString& program = "pdftotext") {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(120000) || p.exitCode() != 0) return QString();
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The fonts used on one page (from 1), by their PostScript names without
// the subset prefix.
QStringList PageFonts(const QString& path, int page) {
  const QStringList lines =
      Run({"-f", QString::number(page), "-l", QString::number(page), path}, "pdffonts").split('\n');
  QStringList fonts;
  for (int i = 2; i < lines.size(); ++i) {  // after the heading and its rule
    QString name = lines[i].section(' ', 0, 0, QString::SectionSkipEmpty);
    name.remove(QRegularExpression("^[A-Z]{6}\\+"));
    if (!name.isEmpty() && !fonts.contains(name)) fonts << name;
  }
  fonts.sort();
  return fonts;
}

QStringList Sorted(QStringList list) {
  list.sort();
  return list;
}

// The face the desktop's font configuration gives for a font request.
QString FaceFor(const QString& request) { return Run({"-f", "%{postscriptname}", request}, "fc-match"); }

QString Unescape(QString s) {
  s.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'");
  return s.replace("&amp;", "&");
}

// The words of every page with their boxes, in points from the sheet's
// top-left corner, in the order they were drawn.
QList<Page> ReadPdf(const QString& path) {
  QList<Page> pages;
  const QString html = Run({"-bbox", path, "-"});
  static const QRegularExpression tag(
      R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  for (auto it = tag.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    if (!m.captured(1).isEmpty()) {
      pages.append(Page{m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
    } else if (!pages.isEmpty()) {
      pages.last().words.append(Word{m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5).toDouble(),
                                     m.captured(6).toDouble(), Unescape(m.captured(7))});
    }
  }
  return pages;
}

QString Joined(const QList<Word>& words) {
  QStringList t;
  for (const Word& w : words) t << w.text;
  return t.join(' ');
}

QString Normalized(QString s) { return s.replace(QRegularExpression(R"(\s+)"), " ").trimmed(); }

// On a US Letter sheet the page box starts half an inch in: its text block
// ends at 36 + 708 points and the footer's baseline lies at 36 + 720.
constexpr double kBlockBottom = 744, kFooterBaseline = 756;

struct Split {
  QList<Word> body, footer;
};

Split SplitPage(const Page& page) {
  Split s;
  for (const Word& w : page.words) (w.yMax > kBlockBottom + 4 ? s.footer : s.body).append(w);
  return s;
}

// The stamp of FakeClock's moment, 14:07 on 5 March 2026, in US English.
const QString kStamp = "2:07 PM, 3/5/26";

// Lines of NumberedLines that fill three pages.
constexpr int kThreePages = 130;

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    if (i > 1) text += "\r";
    text += "Line " + std::to_string(i) + " of the edited help text.";
  }
  return text;
}

// Paragraphs of numbered words, each long enough to run over a page
// break: every word stands once in the text.
std::string LongParagraphs(int paragraphs, int wordsEach) {
  std::string text;
  int word = 0;
  for (int p = 0; p < paragraphs; ++p) {
    if (p > 0) text += "\r";
    for (int w = 0; w < wordsEach; ++w) text += (w ? " w" : "w") + std::to_string(++word);
  }
  return text;
}

// The number in a page's footer: after the lowest "page" on the page,
// whatever the sheet.
QString FooterNumber(const Page& page) {
  qsizetype at = -1;
  for (qsizetype i = 0; i + 1 < page.words.size(); ++i)
    if (page.words[i].text == "page" && (at < 0 || page.words[i].yMin > page.words[at].yMin)) at = i;
  return at < 0 ? QString("?") : page.words[at + 1].text;
}

// The footers' numbers, page after page of the file.
QString FooterNumbers(const QList<Page>& pages) {
  QStringList numbers;
  for (const Page& page : pages) numbers << FooterNumber(page);
  return numbers.join(' ');
}

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A limit on the size of the files this process writes, as a full disk
// would set it; a write past it fails instead of ending the process.
struct FileSizeLimit {
  rlimit before{};
  sighandler_t formerHandler;
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &before);
    formerHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = before;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, formerHandler);
  }
};

int OpenHelpWindows() {
  int n = 0;
  for (Window* w : RuntimeOpenWindows()) n += dynamic_cast<Help*>(w) != nullptr;
  return n;
}

// Help windows that closed and wait to be discarded.
int ClosedHelpWidgets() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    n += w->windowTitle() == "Servalo Help" && !w->isVisible();
  return n;
}

}  // namespace

class HelpPrintingTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  QString PdfPath() const { return dir.filePath("help.pdf"); }
  QString bodyFace, footerFace;  // of the text block and of the footer

 private slots:
  void initTestCase() {
    QVERIFY(dir.isValid());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY2(!Run({"-v"}).isNull() || QProcess::execute("pdftotext", {"-v"}) == 0, "pdftotext is missing");
    // The body is set in bold Courier, the footer in plain Arial: here the
    // faces that the font configuration puts in their place.
    bodyFace = FaceFor("Courier:bold");
    footerFace = FaceFor("Arial");
    QVERIFY2(bodyFace.contains("Bold"), qPrintable(bodyFace));
    QVERIFY2(!footerFace.isEmpty() && !footerFace.contains("Bold") && footerFace != FaceFor("Courier"),
             qPrintable(footerFace));
  }
  void init() {
    for (const QString& name : FilesIn(dir.path())) QFile::remove(dir.filePath(name));
  }

  void designedTextOnOnePageWithStamp() {
    AppFixture f;
    FakeClock clock;
    FakePrinterDialog printer(PdfPath().toStdString());
    // The operator takes a while in the dialog: the stamp keeps the moment
    // the command was chosen.
    printer.onOpen = [&] { clock.now = DateTimeParts{2026, 3, 6, 9, 30, 0}; };
    QCOMPARE(OpenHelpWindows(), 0);

    QVERIFY(f.app.FilePrint_Action());

    QCOMPARE(printer.opened, 1);
    QCOMPARE(printer.setupGiven.front(), false);
    // The help window that printing needed stays open, where the platform
    // put it.
    QCOMPARE(OpenHelpWindows(), 1);
    Help& help = HelpInstance();
    QVERIFY(help.Top() != 60 || help.Left() != 20);

    const QList<Page> pages = ReadPdf(PdfPath());
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages[0].width, 612.0);
    const Split page = SplitPage(pages[0]);
    QString expected = QString::fromStdString(help.TextArea1().Text());
    QCOMPARE(Normalized(Joined(page.body)), Normalized(expected));
    QCOMPARE(Joined(page.footer), "page 1 " + kStamp);
    QCOMPARE(PageFonts(PdfPath(), 1), Sorted({bodyFace, footerFace}));
    // The text starts at the block's corner; the footer lies below it.
    QVERIFY(page.body.first().xMin >= 36 + 36 - 1 && page.body.first().xMin < 36 + 36 + 2);
    for (const Word& w : page.body) QVERIFY2(w.yMax <= kBlockBottom + 1, qPrintable(w.text));
    for (const Word& w : page.footer) QVERIFY(w.yMin < kFooterBaseline && w.yMax > kFooterBaseline);
    QVERIFY(page.footer.first().xMin >= 36 + 40 - 1 && page.footer.first().xMin < 36 + 40 + 2);
  }

  // Several pages: each line once, none cut between pages, one footer on
  // every page with its number; the App's handler leaves the edited window
  // open, the panel's closes it and the edits go with it.
  void editedTextOnSeveralPages() {
    AppFixture f;
    FakeClock clock;
    FakePrinterDialog printer(PdfPath().toStdString());
    const int lineCount = 200;
    HelpInstance().TextArea1().Text(NumberedLines(lineCount));

    for (int handler = 0; handler < 2; ++handler) {
      QFile::remove(PdfPath());
      Help* before = &HelpInstance();
      const bool handled = handler == 0 ? f.app.FilePrint_Action() : Window1Instance().FilePrint_Action();
      QVERIFY(handled);

      const QList<Page> pages = ReadPdf(PdfPath());
      QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
      QStringList body;
      for (int k = 0; k < pages.size(); ++k) {
        const Split page = SplitPage(pages[k]);
        QCOMPARE(Joined(page.footer), "page " + QString::number(k + 1) + " " + kStamp);
        QVERIFY(!page.body.isEmpty());
        // Bold Courier again after every footer.
        QCOMPARE(PageFonts(PdfPath(), k + 1), Sorted({bodyFace, footerFace}));
        for (const Word& w : page.body) QVERIFY2(w.yMax <= kBlockBottom + 1, qPrintable(w.text));
        body << Joined(page.body);
      }
      QCOMPARE(Normalized(body.join(' ')), Normalized(QString::fromStdString(NumberedLines(lineCount))));

      if (handler == 0) {
        QCOMPARE(OpenHelpWindows(), 1);
        QCOMPARE(&HelpInstance(), before);
        QCOMPARE(HelpInstance().TextArea1().Text(), NumberedLines(lineCount));
      } else {
        QCOMPARE(OpenHelpWindows(), 0);
      }
    }
    QTRY_COMPARE_WITH_TIMEOUT(ClosedHelpWidgets(), 0, 30000);
    QVERIFY(HelpInstance().TextArea1().Text() != NumberedLines(lineCount));
  }

  void emptyTextGivesOneFooterOnlyPage() {
    AppFixture f;
    FakeClock clock;
    FakePrinterDialog printer(PdfPath().toStdString());
    HelpInstance().TextArea1().Text("");
    QVERIFY(f.app.FilePrint_Action());
    const QList<Page> pages = ReadPdf(PdfPath());
    QCOMPARE(pages.size(), 1);
    QCOMPARE(Joined(pages[0].words), "page 1 " + kStamp);
    QCOMPARE(PageFonts(PdfPath(), 1), QStringList{footerFace});
  }

  void cancelPrintsNothing_data() {
    QTest::addColumn<bool>("panelHandler");
    QTest::addColumn<bool>("helpOpen");
    QTest::newRow("app, no help window") << false << false;
    QTest::newRow("app, help window open") << false << true;
    QTest::newRow("panel, no help window") << true << false;
    QTest::newRow("panel, help window open") << true << true;
  }
  void cancelPrintsNothing() {
    QFETCH(bool, panelHandler);
    QFETCH(bool, helpOpen);
    AppFixture f;
    FakeClock clock;
    FakePrinterDialog printer(PdfPath().toStdString());
    printer.cancel = true;
    Window1Instance();
    Help* help = nullptr;
    if (helpOpen) {
      help = &HelpInstance();
      help->Top(300);
      help->Left(400);
      help->TextArea1().Text("edited");
    }
    QTRY_COMPARE_WITH_TIMEOUT(ClosedHelpWidgets(), 0, 30000);

    QVERIFY(panelHandler ? Window1Instance().FilePrint_Action() : f.app.FilePrint_Action());

    QCOMPARE(printer.opened, 1);
    QVERIFY(!QFile::exists(PdfPath()));
    if (!panelHandler && !helpOpen) {
      QCOMPARE(OpenHelpWindows(), 0);
      QCOMPARE(ClosedHelpWidgets(), 0);
    } else if (!panelHandler) {
      QCOMPARE(OpenHelpWindows(), 1);
      QCOMPARE(&HelpInstance(), help);
      QCOMPARE(help->Top(), 300);
      QCOMPARE(help->Left(), 400);
      QCOMPARE(help->TextArea1().Text(), std::string("edited"));
    } else {
      // The panel's handler closes the help window, creating one first when
      // none was open.
      QCOMPARE(OpenHelpWindows(), 0);
      QCOMPARE(ClosedHelpWidgets(), 1);
    }
  }

  // The panel's Print Help as the menu dispatches it, with the panel in
  // front.
  void menuCommandWithPanelInFront() {
    AppFixture f;
    FakeClock clock;
    FakePrinterDialog printer(PdfPath().toStdString());
    Window1Instance().Show();
    QTRY_COMPARE_WITH_TIMEOUT(RuntimeFrontWindow(), static_cast<Window*>(&Window1Instance()), 30000);
    QVERIFY(RuntimeMenuCommand("FilePrint"));
    QCOMPARE(printer.opened, 1);
    QCOMPARE(ReadPdf(PdfPath()).size(), 1);
    QCOMPARE(OpenHelpWindows(), 0);
  }

  // The desktop's print dialog offers the range of pages, the copies,
  // their collation and the order, and a PDF file gets what was chosen;
  // there is no selection or current page to offer.
  void desktopDialogChoicesReachThePdf() {
    AppFixture f;
    FakeClock clock;
    RuntimeSetPrinterDialog(nullptr);
    HelpInstance().TextArea1().Text(NumberedLines(kThreePages));
    QStringList missing, offered;
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible()) return;
      poll.stop();
      seen = true;
      // The lower half, where the pages are chosen, as the operator opens it.
      for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text().contains("Options")) b->click();
      auto* printers = dialog->findChild<QComboBox*>("printers");
      for (int i = 0; printers && i < printers->count(); ++i)
        if (printers->itemText(i).contains("PDF")) printers->setCurrentIndex(i);
      auto* range = dialog->findChild<QRadioButton*>("printRange");
      if (range) range->click();
      for (const char* name : {"printRange", "from", "to", "copies", "collate", "reverse"}) {
        auto* w = dialog->findChild<QWidget*>(name);
        if (!w || !w->isVisible() || !w->isEnabled()) missing << name;
      }
      for (const char* name : {"printSelection", "printCurrentPage"}) {
        auto* w = dialog->findChild<QWidget*>(name);
        if (w && w->isVisible()) offered << name;
      }
      if (!missing.isEmpty() || !printers || !range) {
        dialog->reject();
        return;
      }
      dialog->findChild<QLineEdit*>("filename")->setText(PdfPath());
      dialog->findChild<QSpinBox*>("from")->setValue(2);
      dialog->findChild<QSpinBox*>("to")->setValue(3);
      dialog->findChild<QSpinBox*>("copies")->setValue(2);
      dialog->findChild<QCheckBox*>("collate")->setChecked(false);
      dialog->findChild<QCheckBox*>("reverse")->setChecked(true);
      for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text().remove('&') == "Print") b->click();
    });
    poll.start(20);
    QVERIFY(f.app.FilePrint_Action());
    QVERIFY(seen);
    QVERIFY2(missing.isEmpty(), qPrintable("not offered: " + missing.join(", ")));
    QVERIFY2(offered.isEmpty(), qPrintable("offered: " + offered.join(", ")));
    QCOMPARE(FooterNumbers(ReadPdf(PdfPath())), QString("3 3 2 2"));
    QVERIFY(f.dialogs.messages.empty());
  }

  // The pages go out in the range, order and number the operator chose;
  // every copy of a page is the page itself. A file that stood at the
  // destination gives way to the new one and keeps its permissions; when
  // the range holds none of the pages, it stays and the operator is told.
  void choicesGiveThePageSequence_data() {
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("pages");
    QTest::newRow("as drawn") << 1 << true << false << 0 << 0 << "1 2 3";
    QTest::newRow("two copies, collated") << 2 << true << false << 0 << 0 << "1 2 3 1 2 3";
    QTest::newRow("two copies, page by page") << 2 << false << false << 0 << 0 << "1 1 2 2 3 3";
    QTest::newRow("last page first") << 1 << true << true << 0 << 0 << "3 2 1";
    QTest::newRow("last first, two collated") << 2 << true << true << 0 << 0 << "3 2 1 3 2 1";
    QTest::newRow("one page") << 1 << true << false << 2 << 2 << "2";
    QTest::newRow("range past the end") << 1 << true << false << 2 << 9 << "2 3";
    QTest::newRow("range, last first, page by page") << 3 << false << true << 1 << 2 << "2 2 2 1 1 1";
    QTest::newRow("range holds no page") << 2 << true << false << 4 << 6 << "";
  }
  void choicesGiveThePageSequence() {
    QFETCH(int, copies);
    QFETCH(bool, collate);
    QFETCH(bool, reverse);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, pages);
    AppFixture f;
    FakeClock clock;
    FakePrinterDialog printer(PdfPath().toStdString());
    printer.choices = PrintChoices{copies, collate, reverse, from, to};
    HelpInstance().TextArea1().Text(NumberedLines(kThreePages));
    {
      QFile old(PdfPath());
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write("the file before");
    }
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(PdfPath(), permissions));

    QVERIFY(f.app.FilePrint_Action());

    QCOMPARE(FilesIn(dir.path()), QStringList{"help.pdf"});
    if (pages.isEmpty()) {
      QCOMPARE(f.dialogs.messages, std::vector<std::string>{"The chosen pages do not exist. Nothing was printed."});
      QFile old(PdfPath());
      QVERIFY(old.open(QIODevice::ReadOnly));
      QCOMPARE(old.readAll(), QByteArray("the file before"));
      return;
    }
    QVERIFY(f.dialogs.messages.empty());
    const QFile::Permissions now = QFile::permissions(PdfPath());
    QVERIFY(now.testFlag(QFile::ReadGroup) && !now.testFlag(QFile::ReadOther) && !now.testFlag(QFile::WriteGroup));
    const QList<Page> printed = ReadPdf(PdfPath());
    QCOMPARE(FooterNumbers(printed), pages);
    // A copy of a page holds what the page holds.
    QMap<QString, QString> textOf;
    for (const Page& page : printed) {
      const QString number = FooterNumber(page);
      const QString text = Joined(page.words);
      QCOMPARE(textOf.value(number, text), text);
      textOf[number] = text;
    }
    QVERIFY(textOf.value("1", "Line 1 ").startsWith("Line 1 "));
  }

  // A link in the destination's place stays a link: the file it leads to
  // receives the pages.
  void linkedDestinationStaysALink() {
    AppFixture f;
    FakeClock clock;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("kept.pdf");
    {
      QFile old(target);
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write("the file before");
    }
    QVERIFY(QFile::link(target, PdfPath()));
    FakePrinterDialog printer(PdfPath().toStdString());
    QVERIFY(f.app.FilePrint_Action());

    QVERIFY(f.dialogs.messages.empty());
    QCOMPARE(QFileInfo(PdfPath()).symLinkTarget(), target);
    QCOMPARE(FooterNumbers(ReadPdf(target)), QString("1"));
    QCOMPARE(FilesIn(elsewhere.path()), QStringList{"kept.pdf"});
    QVERIFY(QFile::remove(PdfPath()));  // the link, before its target goes
  }

  // Paragraphs that run over page breaks: each word is drawn once, on the
  // page that shows it, and nothing of the text lies outside its block.
  void paragraphsAcrossPagesPrintEachLineOnce() {
    AppFixture f;
    FakeClock clock;
    FakePrinterDialog printer(PdfPath().toStdString());
    const std::string text = LongParagraphs(3, 700);
    HelpInstance().TextArea1().Text(text);
    QVERIFY(f.app.FilePrint_Action());

    const QList<Page> pages = ReadPdf(PdfPath());
    QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
    QStringList body;
    for (const Page& page : pages) {
      const Split split = SplitPage(page);
      QCOMPARE(split.footer.value(0).text, QString("page"));
      for (const Word& w : split.body)
        QVERIFY2(w.yMin >= 36 + 36 - 1 && w.yMax <= kBlockBottom + 1, qPrintable(w.text));
      body << Joined(split.body);
    }
    QCOMPARE(Normalized(body.join(' ')), Normalized(QString::fromStdString(text)));
  }

  // A print that cannot be written whole (here a limit on the file size,
  // as a full disk sets it) is reported; it leaves no file behind, and a
  // file that stood there before stays as it was.
  void writeFailureIsReportedAndLeavesNoFile_data() {
    QTest::addColumn<bool>("fileBefore");
    QTest::addColumn<int>("copies");
    QTest::newRow("no file before") << false << 1;
    QTest::newRow("a file before") << true << 1;
    QTest::newRow("a file before, two copies") << true << 2;
  }
  void writeFailureIsReportedAndLeavesNoFile() {
    QFETCH(bool, fileBefore);
    QFETCH(int, copies);
    AppFixture f;
    FakeClock clock;
    FakePrinterDialog printer(PdfPath().toStdString());
    printer.choices.Copies = copies;
    const QByteArray before(3000, 'x');
    if (fileBefore) {
      QFile old(PdfPath());
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write(before);
    }
    HelpInstance();
    {
      FileSizeLimit limit(4096);
      QVERIFY(f.app.FilePrint_Action());
    }
    QCOMPARE(f.dialogs.messages, std::vector<std::string>{"The pages could not be written. Nothing was printed."});
    if (fileBefore) {
      QCOMPARE(FilesIn(dir.path()), QStringList{"help.pdf"});
      QFile old(PdfPath());
      QVERIFY(old.open(QIODevice::ReadOnly));
      QCOMPARE(old.readAll(), before);
    } else {
      QCOMPARE(FilesIn(dir.path()), QStringList());
    }
  }

  // ---- The page surface and the styled-text printer themselves

  // The page box is centred on the sheet: half an inch in on US Letter.
  void pageBoxCentredOnTheSheet_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::newRow("US Letter") << 612.0 << 792.0 << 36.0 << 36.0;
    QTest::newRow("A4") << 595.0 << 842.0 << 27.5 << 61.0;
  }
  void pageBoxCentredOnTheSheet() {
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, left);
    QFETCH(double, top);
    {
      PrinterSetup sheet{width, height};
      std::unique_ptr<PrinterGraphics> g = RuntimeNewPdfPageSurface(PdfPath().toStdString(), &sheet);
      QVERIFY(g);
      QCOMPARE(g->Width(), 540);
      QCOMPARE(g->Height(), 720);
      g->TextFont = "Courier";
      g->TextSize = 10;
      g->DrawString("first", 0, 100);
      g->NextPage();
      g->DrawString("second", 540 - 60, 720);
    }
    const QList<Page> pages = ReadPdf(PdfPath());
    QCOMPARE(pages.size(), 2);
    QCOMPARE(pages[0].width, width);
    QCOMPARE(pages[0].height, height);
    QCOMPARE(Joined(pages[0].words), QString("first"));
    QVERIFY(qAbs(pages[0].words[0].xMin - left) < 1);
    QVERIFY(pages[0].words[0].yMax > top + 100 && pages[0].words[0].yMin < top + 100);
    QCOMPARE(Joined(pages[1].words), QString("second"));
    QVERIFY(pages[1].words[0].yMax > top + 720 && pages[1].words[0].yMin < top + 720);
    QVERIFY(pages[1].words[0].xMax < left + 540);
  }

  void unwritablePdfGivesNoSurface() {
    QVERIFY(!RuntimeNewPdfPageSurface(dir.filePath("missing/folder/x.pdf").toStdString()));
  }

  // A line taller than the block is drawn alone, so that the loop ends.
  void lineTallerThanTheBlockStillProgresses() {
    AppFixture f;
    TextArea& area = HelpInstance().TextArea1();
    area.Text("A\rB\rC");
    {
      std::unique_ptr<PrinterGraphics> g = RuntimeNewPdfPageSurface(PdfPath().toStdString());
      g->TextSize = 200;
      StyledTextPrinter p = area.styledTextPrinter(*g, 492);
      int blocks = 0;
      while (!p.Eof() && blocks < 10) {
        p.DrawBlock(36, 36, 100);
        ++blocks;
        if (!p.Eof()) g->NextPage();
      }
      QCOMPARE(blocks, 3);
    }
    const QList<Page> pages = ReadPdf(PdfPath());
    QCOMPARE(pages.size(), 3);
    QCOMPARE(Joined(pages[0].words), QString("A"));
    QCOMPARE(Joined(pages[2].words), QString("C"));
  }

  // Blank lines at the end never start a page of their own; a text of
  // blanks only is at its end from the start.
  void trailingBlankLinesAreNotAPage() {
    AppFixture f;
    TextArea& area = HelpInstance().TextArea1();
    std::unique_ptr<PrinterGraphics> g = RuntimeNewPdfPageSurface(PdfPath().toStdString());
    g->TextSize = 10;
    area.Text("   \r\r  ");
    QVERIFY(area.styledTextPrinter(*g, 492).Eof());
    area.Text("\r\rtext" + std::string(300, '\r') + "   ");
    StyledTextPrinter p = area.styledTextPrinter(*g, 492);
    QVERIFY(!p.Eof());
    p.DrawBlock(36, 36, 672);
    QVERIFY(p.Eof());
  }

  // The printer works on the text as it stood when it was made.
  void printerKeepsItsOwnCopy() {
    AppFixture f;
    TextArea& area = HelpInstance().TextArea1();
    area.Text("before");
    {
      std::unique_ptr<PrinterGraphics> g = RuntimeNewPdfPageSurface(PdfPath().toStdString());
      g->TextSize = 10;
      StyledTextPrinter p = area.styledTextPrinter(*g, 492);
      area.Text("after");
      p.DrawBlock(36, 36, 672);
    }
    QCOMPARE(Joined(ReadPdf(PdfPath()).value(0).words), QString("before"));
  }
};

SERVALO_TEST_MAIN(HelpPrintingTest)
#include "tst_help_printing.moc"
