// The text area under the help text: what it reads back, how its selection
// is counted, and the short date and time of the print stamp.
#include <QApplication>
#include <QImage>
#include <QLocale>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "AppFixture.h"
#include "TestMain.h"
#include "calling/Window1.h"
#include "platform/Date.h"
#include "platform/Text.h"
#include "platform/TextArea.h"
#include "platform/internal/Native.h"
#include "platform/testing/FakePrinting.h"
#include "platform/testing/Grab.h"
#include "shell/Help.h"

namespace {

QTextEdit* EditOf(TextArea& area) { return static_cast<QTextEdit*>(area.NativeWidget()); }

QStringList Paragraphs(TextArea& area) {
  QStringList out;
  for (QTextBlock b = EditOf(area)->document()->begin(); b.isValid(); b = b.next()) out << b.text();
  return out;
}

}  // namespace

class TextAreaTest : public QObject {
  Q_OBJECT

 private slots:
  // Whatever breaks the text uses, it reads back exactly as set and shows
  // one paragraph per break.
  void textReadsBackAsSet_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("carriage returns") << "one\r\rtwo" << QStringList{"one", "", "two"};
    QTest::newRow("CR LF") << "one\r\ntwo\r\n" << QStringList{"one", "two", ""};
    QTest::newRow("line feed") << "one\ntwo" << QStringList{"one", "two"};
    QTest::newRow("quotes and blanks") << "a  \u201Cb\u201D\u00A0c\t" << QStringList{"a  \u201Cb\u201D\u00A0c\t"};
    QTest::newRow("beyond 16 bits") << QString::fromUtf8("x\xF0\x9F\x90\x86y") << QStringList{QString::fromUtf8("x\xF0\x9F\x90\x86y")};
  }
  void textReadsBackAsSet() {
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    AppFixture f;
    TextArea& area = HelpInstance().TextArea1();
    area.Text(text.toStdString());
    QCOMPARE(area.Text(), text.toStdString());
    QCOMPARE(Paragraphs(area), shown);
  }

  // The operator's Return is a paragraph break and reads back as a
  // carriage return.
  void typedTextReadsBackWithCarriageReturns() {
    AppFixture f;
    TextArea& area = HelpInstance().TextArea1();
    area.Text("ab\r\ncd");
    QTextEdit* edit = EditOf(area);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, "ef");
    QCOMPARE(area.Text(), std::string("ab\rcd\ref"));
  }

  // SelStart counts characters of Text from 0, SelLength characters, so
  // that Mid(Text, SelStart + 1, SelLength) is the selection.
  void selectionCountsCharactersOfText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("selected");
    QTest::newRow("plain") << "Servalo help" << 8 << 4 << "help";
    QTest::newRow("after carriage returns") << "ab\r\rcd" << 4 << 2 << "cd";
    QTest::newRow("after CR LF") << "ab\r\ncd" << 4 << 2 << "cd";
    QTest::newRow("across CR LF") << "ab\r\ncd" << 1 << 4 << "b\r\nc";
    QTest::newRow("after a character beyond 16 bits") << QString::fromUtf8("\xF0\x9F\x90\x86xyz") << 1 << 2 << "xy";
    QTest::newRow("caret only") << "abc" << 2 << 0 << "";
    QTest::newRow("beyond the end") << "abc" << 2 << 9 << "c";
  }
  void selectionCountsCharactersOfText() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, selected);
    AppFixture f;
    TextArea& area = HelpInstance().TextArea1();
    area.Text(text.toStdString());
    area.SelStart(start);
    QCOMPARE(area.SelLength(), 0);
    area.SelLength(length);
    QCOMPARE(area.SelStart(), start);
    QCOMPARE(area.SelText(), selected.toStdString());
    QCOMPARE(area.SelLength(), Len(selected.toStdString()));
    QCOMPARE(Mid(area.Text(), area.SelStart() + 1, area.SelLength()), selected.toStdString());
  }

  void designFlagsAreKept() {
    AppFixture f;
    TextArea& area = HelpInstance().TextArea1();
    QVERIFY(area.Multiline());
    QVERIFY(area.Styled());
    QVERIFY(area.ScrollbarVertical());
    QVERIFY(area.Border());
    QVERIFY(area.AutomaticallyCheckSpelling());
    QVERIFY(!area.ReadOnly());
    QCOMPARE(area.LineSpacing(), 1.0);
    // The design's black is the enabled text's; disabled, the desktop's.
    const QPalette colours = EditOf(area)->palette();
    QCOMPARE(colours.color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    QCOMPARE(colours.color(QPalette::Disabled, QPalette::Text),
             QApplication::palette(EditOf(area)).color(QPalette::Disabled, QPalette::Text));
    area.ReadOnly(true);
    QVERIFY(EditOf(area)->isReadOnly());
  }

  // With HideSelection on, the selection is drawn only while the text area
  // has the focus, and stays selected all the while; with it off, the
  // selection shows in the inactive colours.
  void selectionShownOnlyWithTheFocus_data() {
    QTest::addColumn<bool>("hide");
    QTest::addColumn<QString>("away");
    QTest::newRow("focus to another control") << true << "control";
    QTest::newRow("another window in front") << true << "window";
    QTest::newRow("HideSelection off") << false << "control";
  }
  void selectionShownOnlyWithTheFocus() {
    QFETCH(bool, hide);
    QFETCH(QString, away);
    AppFixture f;
    Help& help = HelpInstance();
    TextArea& area = help.TextArea1();
    QVERIFY(area.HideSelection());  // as designed
    area.HideSelection(hide);
    QTextEdit* edit = EditOf(area);
    QApplication::setActiveWindow(help.Native());
    edit->setFocus();
    area.SelStart(0);
    area.SelLength(30);
    const QPalette colours = edit->palette();
    QVERIFY(Holds(GrabControl(area), colours.color(QPalette::Active, QPalette::Highlight)));

    if (away == "control") {
      help.PushButton1().NativeWidget()->setFocus();
    } else {
      QApplication::setActiveWindow(Window1Instance().Native());
    }
    QVERIFY(!edit->hasFocus());
    const QImage unfocused = GrabControl(area);
    QCOMPARE(area.SelLength(), 30);
    if (hide) {
      area.SelLength(0);
      QCOMPARE(unfocused, GrabControl(area));  // as if nothing were selected
      area.SelLength(30);
    } else {
      QVERIFY(Holds(unfocused, colours.color(QPalette::Inactive, QPalette::Highlight)));
    }

    QApplication::setActiveWindow(help.Native());
    edit->setFocus();
    QVERIFY(Holds(GrabControl(area), colours.color(QPalette::Active, QPalette::Highlight)));
    QCOMPARE(area.SelLength(), 30);
  }

  void shortTimeAndDateInTheLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::newRow("en_US") << "en_US" << "2:07 PM" << "3/5/26";
    QTest::newRow("de_DE") << "de_DE" << "14:07" << "05.03.26";
  }
  void shortTimeAndDateInTheLocale() {
    QFETCH(QString, locale);
    QFETCH(QString, time);
    QFETCH(QString, date);
    const QLocale before;
    QLocale::setDefault(QLocale(locale));
    FakeClock clock;
    const Date now;
    QCOMPARE(QString::fromStdString(now.ShortTime()), time);
    QCOMPARE(QString::fromStdString(now.ShortDate()), date);
    QLocale::setDefault(before);
  }
};

SERVALO_TEST_MAIN(TextAreaTest)
#include "tst_help_textarea.moc"
