// The help window and the about box: opening them from the Help menu, the
// help text, the selection message, the version label and the two links.
#include <QTest>
#include <QTextEdit>

#include "AppFixture.h"
#include "TestMain.h"
#include "platform/Menu.h"
#include "platform/Text.h"
#include "platform/TextArea.h"
#include "shell/AboutBox.h"
#include "shell/Help.h"

namespace {

template <class W>
int OpenWindowsOf() {
  int n = 0;
  for (Window* w : RuntimeOpenWindows()) n += dynamic_cast<W*>(w) != nullptr;
  return n;
}

// The help text, written out here on its own so that a slip in either copy
// shows.
std::u32string ExpectedHelpText() {
  const std::u32string paragraphs[] = {
      U"Servalo was developed to help call people to line up (at a buffet, etc.) in an orderly fashion.",
      U"Use the Option Menu Pick to select whether Tables should be called in order or at random.",
      U"Up to 99 tables are supported.  Set the number of tables using the Up/Down counter and click on the Start "
      U"button.  A large window will open above the Control Panel announcing the first table to line up.  If the "
      U"Sound checkbox is checked, the announcement will also be heard.  Press Command-Option when it is time to "
      U"announce the next table.",
      U"Note that the Command-Option shortcut is disabled for one second after its use to prevent accidental "
      U"multiple announcements.",
      U"Servalo will close after all tables have been announced or the red \u201Cclose\u201D button on the top left "
      U"of the Control Panel is clicked.",
      U"Servalo is intended for a display resolution of 1366 x 768.  If you have a larger display resolution, you "
      U"can drag both windows where you would like them and their positions will be saved along with other "
      U"Servalo settings between sessions.",
      U"This Help information can be printed from the File menu.",
  };
  std::u32string text;
  for (const auto& p : paragraphs) text += p + U"\r\r";
  return text;
}

std::u32string Utf32(const std::string& s) { return QString::fromStdString(s).toStdU32String(); }

}  // namespace

class HelpTest : public QObject {
  Q_OBJECT

 private slots:
  void helpTextExactly() {
    AppFixture f;
    const std::u32string text = Utf32(HelpInstance().TextArea1().Text());
    const std::u32string expected = ExpectedHelpText();
    for (size_t i = 0; i < expected.size(); ++i) {
      QVERIFY2(i < text.size(), "the help text ends early");
      QVERIFY2(text[i] == expected[i],
               qPrintable(QString("character %1 is U+%2, expected U+%3")
                              .arg(i)
                              .arg(uint(text[i]), 4, 16, QChar('0'))
                              .arg(uint(expected[i]), 4, 16, QChar('0'))));
    }
    // Then the one-line icon credit: no break inside it, nothing after it.
    const std::u32string credit = text.substr(expected.size());
    QVERIFY(!credit.empty());
    QVERIFY(credit.find(U'\r') == std::u32string::npos);
    QVERIFY(credit.find(U'\n') == std::u32string::npos);
    QVERIFY(credit.back() != U' ');
    // Eight paragraphs on screen, with an empty one between each two.
    QCOMPARE(static_cast<QTextEdit*>(HelpInstance().TextArea1().NativeWidget())->document()->blockCount(), 15);
  }

  // Show Help twice: one window, at top 60, left 20, in front, its edits
  // kept; closed and opened again, the designed text is back.
  void showHelpTwice() {
    AppFixture f;
    QVERIFY(RuntimeMenuCommand("HelpShowHelp"));
    QCOMPARE(OpenWindowsOf<Help>(), 1);
    Help* first = &HelpInstance();
    QCOMPARE(first->Top(), 60);
    QCOMPARE(first->Left(), 20);
    const std::string designed = first->TextArea1().Text();
    first->Top(300);
    first->Left(500);
    first->TextArea1().Text("edited");

    QVERIFY(RuntimeMenuCommand("HelpShowHelp"));
    QCOMPARE(OpenWindowsOf<Help>(), 1);
    QCOMPARE(&HelpInstance(), first);
    QCOMPARE(first->Top(), 60);
    QCOMPARE(first->Left(), 20);
    QVERIFY(first->IsShown());
    QTRY_COMPARE_WITH_TIMEOUT(RuntimeFrontWindow(), static_cast<Window*>(first), 30000);
    QCOMPARE(first->TextArea1().Text(), std::string("edited"));

    first->Close();
    QCOMPARE(OpenWindowsOf<Help>(), 0);
    QVERIFY(RuntimeMenuCommand("HelpShowHelp"));
    QCOMPARE(HelpInstance().TextArea1().Text(), designed);
  }

  void selectionMessage() {
    AppFixture f;
    Help& help = HelpInstance();
    TextArea& area = help.TextArea1();
    auto* edit = static_cast<QTextEdit*>(area.NativeWidget());

    // A caret placed with the keyboard, nothing selected.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 7; ++i) QTest::keyClick(edit, Qt::Key_Right);
    help.PushButton1().Push();
    // Then a selection of the word that starts the text.
    QTest::keyClick(edit, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 7; ++i) QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(area.SelText(), std::string("Servalo"));
    help.PushButton1().Push();

    QCOMPARE(f.dialogs.messages, (std::vector<std::string>{"Start: 7 Length: 0", "Start: 0 Length: 7"}));
  }

  // About... twice: one box, back at top 60, left 20, its version label set
  // once when it was built.
  void aboutBoxTwice() {
    AppFixture f;
    QVERIFY(RuntimeMenuCommand("HelpAboutBox"));
    AboutBox* box = &AboutBoxInstance();
    QCOMPARE(box->Top(), 60);
    QCOMPARE(box->Left(), 20);
    QCOMPARE(box->StaticText4().Text(), f.app.LongVersion());
    QVERIFY(box->StaticText4().Text() != "1.0.0 Intel");
    QCOMPARE(box->StaticText3().Text(), std::string("Version:"));
    QCOMPARE(box->StaticText1().TextSize(), 30.0f);
    QCOMPARE(box->StaticText4().TextSize(), 12.0f);
    box->StaticText4().Text("as it was");
    box->Top(400);
    box->Left(700);

    QVERIFY(RuntimeMenuCommand("HelpAboutBox"));
    QCOMPARE(OpenWindowsOf<AboutBox>(), 1);
    QCOMPARE(&AboutBoxInstance(), box);
    QCOMPARE(box->Top(), 60);
    QCOMPARE(box->Left(), 20);
    QCOMPARE(box->StaticText4().Text(), std::string("as it was"));
  }

  void aboutBoxLinks() {
    AppFixture f;
    AboutBox& box = AboutBoxInstance();
    box.PushButton1().Push();
    box.PushButton2().Push();
    box.PushButton1().Push();
    QCOMPARE(f.urls.urls.size(), size_t(3));
    const std::string mail = f.urls.urls[0];
    QCOMPARE(Left(mail, 7), std::string("mailto:"));
    QVERIFY(InStr(0, mail, "@") > 8);
    QVERIFY(InStr(0, mail, "?") == 0);
    // The site's root: scheme, host, and no port, path or trailing slash.
    const std::string web = f.urls.urls[1];
    QCOMPARE(Left(web, 7), std::string("http://"));
    const std::string host = Mid(web, 8);
    QVERIFY(!host.empty());
    QVERIFY(InStr(0, host, "/") == 0 && InStr(0, host, ":") == 0);
    QCOMPARE(f.urls.urls[2], mail);
    QVERIFY(box.IsOpen());
    QCOMPARE(OpenWindowsOf<AboutBox>(), 1);
  }
};

SERVALO_TEST_MAIN(HelpTest)
#include "tst_help_window.moc"
