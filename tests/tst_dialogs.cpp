// The desktop's message dialog with texts of any length and shape: what it
// shows of each text, and that it stays on the screen.
#include <QtTest>

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

#include <cmath>
#include <string>

#include "TestMain.h"
#include "platform/Dialogs.h"

namespace {

constexpr int kBound = int(kMessageDialogMostShown);
constexpr size_t kMiB = 1 << 20;
const QChar kEllipsis(0x2026);

// One text of the dialog as the operator sees it.
struct ShownText {
  QString text;
  int needs = 0;         // the height of the whole text
  int shown = 0;         // the height it is given
  int canScroll = 0;     // how far it can be scrolled
  bool focusable = false;
};

struct SeenDialog {
  QRect screen, frame;
  ShownText message, explanation;
};

ShownText Look(QDialog* dialog, const char* name) {
  ShownText t;
  auto* view = dialog->findChild<QTextEdit*>(name);
  if (!view) return t;
  t.text = view->toPlainText();
  t.needs = int(std::ceil(view->document()->size().height()));
  t.shown = view->viewport()->height();
  t.canScroll = view->verticalScrollBar()->isVisible() ? view->verticalScrollBar()->maximum() : 0;
  t.focusable = view->focusPolicy() != Qt::NoFocus;
  return t;
}

// Shows the desktop's dialog with these texts, looks at it once it is up
// and painted, and answers it with Escape.
SeenDialog ShowDialog(const std::string& message, const std::string& explanation) {
  MessageDialog d;
  d.Title = "New version available!";
  d.Message = message;
  d.Explanation = explanation;
  d.Icon = 3;
  d.CancelButton.Visible = true;
  d.AlternateActionButton.Caption = "Go to Website";
  d.AlternateActionButton.Visible = true;

  IDialogs& before = RuntimeDialogs();
  RuntimeSetDialogs(nullptr);
  SeenDialog seen;
  QTimer poll;
  int ticks = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    if (++ticks < 3) return;  // laid out and painted
    poll.stop();
    seen.screen = dialog->screen()->availableGeometry();
    seen.frame = dialog->frameGeometry();
    seen.message = Look(dialog, "message");
    seen.explanation = Look(dialog, "explanation");
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  poll.start(20);
  d.ShowModal();
  RuntimeSetDialogs(&before);
  return seen;
}

std::string Repeat(const std::string& piece, size_t bytes) {
  std::string s;
  while (s.size() + piece.size() <= bytes) s += piece;
  return s;
}

// The text as the dialog shows it when it is short enough: line ends made
// uniform, nothing else changed.
QString Whole(const QByteArray& text) {
  QString s = QString::fromUtf8(text);
  return s.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

const QByteArray kMessage =
    "Version 1.2.0 is now available. (You are using version 1.1.0.) This is a paid upgrade. Would you like to "
    "automatically download the trial version (using your web browser)?";
const QByteArray kNotes =
    "Fixes:\n- The announcement window keeps its place on a second screen.\n- Speech no longer stops after a "
    "long pause.\n\nNew:\n- Tables can be called in random order.\n";

QByteArray Bytes(const std::string& s) { return QByteArray::fromStdString(s); }

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // Each text is shown whole up to the bound; past it, its beginning up to
  // the bound, cut before a whole character, and "…". Whatever the texts,
  // the dialog stays on the screen, and a text taller than its place can be
  // scrolled to its end.
  void textsAreShownUpToTheBound_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("explanation");
    QTest::addColumn<int>("messageKept");      // characters kept before "…"; -1: shown whole
    QTest::addColumn<int>("explanationKept");

    const std::string x(kBound - 1, 'x');
    QTest::newRow("a release note") << kMessage << kNotes << -1 << -1;
    QTest::newRow("exactly the bound") << kMessage << Bytes(x + "x") << -1 << -1;
    QTest::newRow("one past the bound") << kMessage << Bytes(x + "xy") << -1 << kBound;
    QTest::newRow("CR LF ends a line as one character")
        << kMessage << Bytes(Repeat("ab\r\n", size_t(kBound) * 4 / 3)) << -1 << -1;
    QTest::newRow("CR LF past the bound") << kMessage << Bytes(Repeat("ab\r\n", kMiB)) << -1 << kBound;
    QTest::newRow("1 MiB word as the description") << kMessage << QByteArray(kMiB, 'x') << -1 << kBound;
    QTest::newRow("1 MiB word as the version")
        << "Version " + QByteArray(kMiB, '7') + " is now available." << kNotes << kBound << -1;
    QTest::newRow("1 MiB in both texts") << QByteArray(kMiB, '7') << QByteArray(kMiB, 'x') << kBound << kBound;
    QTest::newRow("1 MiB of short lines") << kMessage << Bytes(Repeat("ab\n", kMiB)) << -1 << kBound;
    QTest::newRow("1 MiB of blanks") << kMessage << QByteArray(kMiB, ' ') << -1 << kBound;
    QTest::newRow("1 MiB of right-to-left letters") << kMessage << Bytes(Repeat("\xD7\x90", kMiB)) << -1 << kBound;
    QTest::newRow("1 MiB of letters in both directions")
        << kMessage << Bytes(Repeat("a\xD7\x90", kMiB)) << -1 << kBound;
    // One letter under a run of marks that has no boundary near the bound:
    // cut between two marks.
    QTest::newRow("1 MiB of combining marks") << kMessage << Bytes("a" + Repeat("\xCC\x81", kMiB)) << -1 << kBound;
    // Each cut sequence reads as one replacement character.
    QTest::newRow("1 MiB of cut UTF-8 sequences") << kMessage << Bytes(Repeat("\xF0\x9F\x98", kMiB)) << -1 << kBound;
    // Characters across the bound are left out whole.
    QTest::newRow("a surrogate pair across the bound")
        << kMessage << Bytes(x + Repeat("\xF0\x9F\x98\x80", 40)) << -1 << kBound - 1;
    QTest::newRow("a letter and its mark across the bound")
        << kMessage << Bytes(x + "e\xCC\x81" + "e" + x) << -1 << kBound - 1;
    QTest::newRow("a flag across the bound")
        << kMessage << Bytes(std::string(kBound - 3, 'x') + Repeat("\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", 40)) << -1
        << kBound - 3;
  }
  void textsAreShownUpToTheBound() {
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, explanation);
    QFETCH(int, messageKept);
    QFETCH(int, explanationKept);

    const SeenDialog seen = ShowDialog(message.toStdString(), explanation.toStdString());

    const struct {
      const char* name;
      const ShownText& shown;
      QString whole;
      int kept;
    } texts[] = {{"message", seen.message, Whole(message), messageKept},
                 {"explanation", seen.explanation, Whole(explanation), explanationKept}};
    for (const auto& t : texts) {
      if (t.kept < 0) {
        QVERIFY2(t.shown.text == t.whole, t.name);
      } else {
        QVERIFY2(t.shown.text.endsWith(kEllipsis), t.name);
        QCOMPARE(t.shown.text.size() - 1, t.kept);
        QVERIFY2(t.shown.text.chopped(1) == t.whole.left(t.kept), t.name);
      }
      if (t.shown.needs > t.shown.shown) {
        QVERIFY2(t.shown.canScroll >= t.shown.needs - t.shown.shown, t.name);
        QVERIFY2(t.shown.focusable, t.name);
      }
    }
    QVERIFY2(seen.screen.contains(seen.frame), qPrintable(QString("dialog at %1,%2 %3 x %4 on %5 x %6")
                                                             .arg(seen.frame.x())
                                                             .arg(seen.frame.y())
                                                             .arg(seen.frame.width())
                                                             .arg(seen.frame.height())
                                                             .arg(seen.screen.width())
                                                             .arg(seen.screen.height())));
  }
};

SERVALO_TEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
