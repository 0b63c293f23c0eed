// The control panel's handlers and the call-up cycle: the arrows, the Sound
// box, the Order menu, Start, the keyboard trigger with its lock-out, and
// the end of the run.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QElapsedTimer>

#include <algorithm>
#include <numeric>
#include <set>

#include "AppFixture.h"
#include "TestMain.h"
#include "calling/Window1.h"
#include "calling/Window2.h"
#include "platform/Menu.h"
#include "platform/Text.h"
#include "platform/testing/Grab.h"

namespace {

// A run with the panel open on the given settings.
struct Run : AppFixture {
  Window1& Open(int32_t tables, const std::string& order = "InOrder", bool sound = true) {
    numberOfTables = tables;
    tableOrder = order;
    mySound = sound;
    return Window1Instance();
  }
  Window1& Panel() { return *RuntimeGetImplicitWindow<Window1>(); }
  bool PanelOpen() { return RuntimeGetImplicitWindow<Window1>() != nullptr; }
  void Start() { Panel().MyStart().Push(); }
  // One poll of the keyboard with both keys down, then the end of the
  // lock-out (unless the poll ended the run).
  void Trigger() {
    keys.Hold(true, true);
    Panel().Timer1_Action(Panel().Timer1());
    if (PanelOpen()) Panel().Timer2_Action(Panel().Timer2());
  }
};

std::vector<int32_t> OneTo(int32_t n) {
  std::vector<int32_t> v(static_cast<size_t>(n));
  std::iota(v.begin(), v.end(), 1);
  return v;
}

std::vector<std::string> Announcement(int32_t table) {
  return {"TABLE " + std::to_string(table) + ":", "Please line up now"};
}

// Counts the Sound box's Action events and passes them on to the panel.
struct ActionSpy {
  Window1* panel = nullptr;
  int actions = 0;
  void OnAction(CheckBox& box) {
    ++actions;
    panel->SoundCheckBox_Action(box);
  }
};

void Click(Window1& w, const QString& clicks) {
  for (QChar c : clicks) {
    if (c == 'U') w.UpDownArrows1().PushUp();
    if (c == 'D') w.UpDownArrows1().PushDown();
    // Each click writes the new number to the field.
    QCOMPARE(w.TextField1().Text(), StringStrInt32(numberOfTables));
  }
}

}  // namespace

class CallingTest : public QObject {
  Q_OBJECT

 private slots:
  // ---- Before Start

  void arrows_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<int>("expected");
    QTest::newRow("-3 down: nothing") << -3 << "D" << -3;
    QTest::newRow("-3 up") << -3 << "U" << -2;
    QTest::newRow("0 down: nothing") << 0 << "D" << 0;
    QTest::newRow("0 up") << 0 << "U" << 1;
    QTest::newRow("1 down: nothing") << 1 << "D" << 1;
    QTest::newRow("1 up") << 1 << "U" << 2;
    QTest::newRow("20 down") << 20 << "D" << 19;
    QTest::newRow("20 up") << 20 << "U" << 21;
    QTest::newRow("98 up twice: 99, then nothing") << 98 << "UU" << 99;
    QTest::newRow("99 up: nothing") << 99 << "U" << 99;
    QTest::newRow("99 down") << 99 << "D" << 98;
    QTest::newRow("150 up: nothing") << 150 << "U" << 150;
    QTest::newRow("150 down") << 150 << "DD" << 148;
  }
  void arrows() {
    QFETCH(int, start);
    QFETCH(QString, clicks);
    QFETCH(int, expected);
    Run run;
    Window1& w = run.Open(start);
    // The loaded number is shown as it is, out of range or not.
    QCOMPARE(w.TextField1().Text(), StringStrInt32(start));
    Click(w, clicks);
    QCOMPARE(numberOfTables, expected);
  }

  void soundBox() {
    Run run;
    Window1& w = run.Open(5, "InOrder", false);
    ActionSpy spy{&w};
    RuntimeAddEventHandler(w.SoundCheckBox(), "Action",
                           RuntimeCreateDelegate(&spy, &ActionSpy::OnAction, "( CheckBox )"));
    // Setting the box from the loaded value raises no Action.
    mySound = true;
    w.Event_Open();
    QCOMPARE(w.SoundCheckBox().Value(), true);
    QCOMPARE(spy.actions, 0);
    QCOMPARE(mySound, true);
    // The operator's clicks do, and set the sound.
    w.SoundCheckBox().Click();
    QCOMPARE(spy.actions, 1);
    QCOMPARE(mySound, false);
    w.SoundCheckBox().Click();
    QCOMPARE(mySound, true);
    QCOMPARE(run.speech.texts.size(), size_t(0));
  }

  void orderMarksAtOpen_data() {
    QTest::addColumn<QString>("order");
    QTest::addColumn<bool>("random");
    QTest::newRow("Random") << "Random" << true;
    QTest::newRow("random, other case") << "random" << true;
    QTest::newRow("InOrder") << "InOrder" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("other text") << "Buffet" << false;
  }
  void orderMarksAtOpen() {
    QFETCH(QString, order);
    QFETCH(bool, random);
    Run run;
    Window1& w = run.Open(5, order.toStdString());
    QCOMPARE(w.OrderRandom().Checked(), random);
    QCOMPARE(w.OrderInOrder().Checked(), !random);
    QCOMPARE(tableOrder, order.toStdString());  // left as loaded
    // Both show their check indicator from the first opening of the menu.
    for (MenuItem* item : {&w.OrderRandom(), &w.OrderInOrder()}) {
      QVERIFY(item->NativeAction()->isCheckable());
      QCOMPARE(item->NativeAction()->isChecked(), item->Checked());
    }
  }

  void orderCommands() {
    Run run;
    Window1& w = run.Open(5, "Buffet");
    QVERIFY(RuntimeMenuCommand("OrderRandom"));
    QVERIFY(w.OrderRandom().Checked() && !w.OrderInOrder().Checked());
    QCOMPARE(tableOrder, std::string("Random"));
    // Choosing the checked item again changes nothing and is handled.
    QVERIFY(RuntimeMenuCommand("OrderRandom"));
    QVERIFY(w.OrderRandom().Checked() && !w.OrderInOrder().Checked());
    QVERIFY(RuntimeMenuCommand("OrderInOrder"));
    QVERIFY(w.OrderInOrder().Checked() && !w.OrderRandom().Checked());
    QCOMPARE(tableOrder, std::string("InOrder"));
  }

  void orderDuringCallingKeepsTheRun() {
    Run run;
    Window1& w = run.Open(5, "InOrder");
    run.Start();
    // The announcement window is in front now; the panel still takes the
    // command.
    QVERIFY(RuntimeMenuCommand("OrderRandom"));
    QVERIFY(w.OrderRandom().Checked() && !w.OrderInOrder().Checked());
    QCOMPARE(tableOrder, std::string("Random"));
    QCOMPARE(tableSequence.Values(), OneTo(5));
    run.Trigger();
    run.Trigger();
    QCOMPARE(currentTable, 3);
  }

  // ---- Start

  void start_data() {
    QTest::addColumn<int>("tables");
    QTest::addColumn<bool>("locked");
    QTest::newRow("1") << 1 << false;
    QTest::newRow("5, lock-out left set") << 5 << true;
    QTest::newRow("99") << 99 << false;
    QTest::newRow("9999, the most") << 9999 << false;
  }
  void start() {
    QFETCH(int, tables);
    QFETCH(bool, locked);
    Run run;
    Window1& w = run.Open(tables, "InOrder", false);
    hotkeyLocked = locked;
    run.Start();
    const std::set<std::string> disabled{"UpDownArrows1", "TextField1", "MyStart", "Label1"};
    for (const auto& c : w.Controls()) QCOMPARE(c->Enabled(), disabled.count(c->Name()) == 0);
    QCOMPARE(tableSequence.Values(), OneTo(tables));
    QCOMPARE(sequenceIndex, 0);
    QCOMPARE(currentTable, 1);
    QVERIFY(callingStarted);
    QCOMPARE(hotkeyLocked, locked);  // Start neither sets nor clears it
    Window2* shown = RuntimeGetImplicitWindow<Window2>();
    QVERIFY(shown && shown->IsShown());
    // Start cannot run twice.
    w.MyStart().Push();
    QCOMPARE(tableSequence.Ubound(), tables - 1);
  }

  // What Start disables looks disabled: the label and the field lose the
  // design's black for the desktop's disabled text colour.
  void startGreysTheLabelAndTheField() {
    Run run;
    Window1& w = run.Open(20);
    const std::pair<Control*, QPalette::ColorRole> texts[] = {{&w.Label1(), QPalette::WindowText},
                                                              {&w.TextField1(), QPalette::Text}};
    std::vector<QImage> before;
    for (const auto& [c, role] : texts) before.push_back(GrabControl(*c));
    run.Start();
    for (size_t i = 0; i < std::size(texts); ++i) {
      const auto& [c, role] = texts[i];
      const QWidget* widget = c->NativeWidget();
      QCOMPARE(widget->palette().color(QPalette::Active, role), QColor(Qt::black));
      QCOMPARE(widget->palette().color(QPalette::Disabled, role), QApplication::palette(widget).color(QPalette::Disabled, role));
      const QImage after = GrabControl(*c);
      QVERIFY(Holds(before[i], Qt::black));
      QVERIFY(!Holds(after, Qt::black));
      QVERIFY(Holds(after, widget->palette().color(QPalette::Disabled, role)));
    }
  }

  void startRandom() {
    std::vector<std::vector<int32_t>> runs;
    for (const char* order : {"Random", "random"}) {
      Run run;
      run.Open(99, order, false);
      run.Start();
      std::vector<int32_t> sorted = tableSequence.Values();
      std::sort(sorted.begin(), sorted.end());
      QCOMPARE(sorted, OneTo(99));  // each table once
      QVERIFY(tableSequence.Values() != OneTo(99));
      QCOMPARE(currentTable, tableSequence(0));
      runs.push_back(tableSequence.Values());
    }
    // No fixed seed: two runs give two orders.
    QVERIFY(runs[0] != runs[1]);
  }

  void startRefusesAnOutOfRangeNumber_data() {
    QTest::addColumn<int>("tables");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<int>("then");
    QTest::newRow("0") << 0 << "U" << 1;
    QTest::newRow("-3") << -3 << "UUUU" << 1;
    QTest::newRow("10000") << 10000 << "D" << 9999;
  }
  void startRefusesAnOutOfRangeNumber() {
    QFETCH(int, tables);
    QFETCH(QString, clicks);
    QFETCH(int, then);
    Run run;
    Window1& w = run.Open(tables);
    run.Start();
    QCOMPARE(run.dialogs.beeps, 1);
    QCOMPARE(run.dialogs.messages.size(), size_t(0));
    for (const auto& c : w.Controls()) QVERIFY(c->Enabled());
    QVERIFY(!callingStarted);
    QCOMPARE(tableSequence.Ubound(), -1);
    QCOMPARE(currentTable, 0);
    QVERIFY(!RuntimeGetImplicitWindow<Window2>());
    QCOMPARE(run.speech.texts.size(), size_t(0));
    // The trigger still does nothing.
    run.keys.Hold(true, true);
    w.Timer1_Action(w.Timer1());
    QCOMPARE(sequenceIndex, 0);
    // Brought into range with the arrows, Start works.
    Click(w, clicks);
    run.Start();
    QVERIFY(callingStarted);
    QCOMPARE(tableSequence.Ubound(), then - 1);
    QCOMPARE(run.speech.texts, Announcement(1));
    QCOMPARE(run.dialogs.beeps, 1);
  }

  // ---- Announcements

  void spokenTexts() {
    Run run;
    run.Open(10, "InOrder", true);
    run.Start();
    for (int i = 0; i < 6; ++i) run.Trigger();
    QCOMPARE(currentTable, 7);
    std::vector<std::string> expected;
    for (int t = 1; t <= 7; ++t)
      for (const auto& s : Announcement(t)) expected.push_back(s);
    QCOMPARE(run.speech.texts, expected);
    QCOMPARE(run.speech.interrupts, 0);
  }

  void soundOffSpeaksNothing() {
    Run run;
    Window1& w = run.Open(5, "InOrder", false);
    run.Start();
    run.Trigger();
    QCOMPARE(currentTable, 2);
    QCOMPARE(run.speech.texts.size(), size_t(0));
    // Ticked during calling: the next announcement is spoken.
    w.SoundCheckBox().Click();
    run.Trigger();
    QCOMPARE(run.speech.texts, Announcement(3));
    // Cleared again: shown only.
    w.SoundCheckBox().Click();
    run.Trigger();
    QCOMPARE(currentTable, 4);
    QCOMPARE(run.speech.texts, Announcement(3));
  }

  void triggerRepaintsOnlyTheUpperBanner() {
    Run run;
    Window1& w = run.Open(5);
    run.Start();
    Window2& shown = Window2Instance();
    QTRY_VERIFY_WITH_TIMEOUT(shown.Banner1().PaintCount() > 0 && shown.Banner2().PaintCount() > 0, 10000);
    const int upper = shown.Banner1().PaintCount(), lower = shown.Banner2().PaintCount();
    run.keys.Hold(true, true);
    w.Timer1_Action(w.Timer1());
    QVERIFY(shown.Banner1().PaintCount() > upper);
    QCOMPARE(shown.Banner2().PaintCount(), lower);
    run.keys.Hold(false, false);
    QTest::qWait(200);
    QCOMPARE(shown.Banner2().PaintCount(), lower);
    // And it shows the new table.
    QCOMPARE(currentTable, 2);
    const QImage upperBanner = GrabControl(shown.Banner1());
    int left = upperBanner.width();
    for (int y = 0; y < upperBanner.height(); ++y)
      for (int x = 1; x < upperBanner.width() - 1; ++x)
        if (qGray(upperBanner.pixel(x, y)) < 128) left = std::min(left, x);
    QVERIFY(left >= 437 && left < 450);
  }

  // ---- The keyboard trigger

  void triggerIgnoredBeforeStart() {
    Run run;
    Window1& w = run.Open(5);
    run.keys.Hold(true, true);
    for (int i = 0; i < 3; ++i) w.Timer1_Action(w.Timer1());
    QCOMPARE(run.keys.osReads, 0);  // not even read
    QCOMPARE(sequenceIndex, 0);
    QCOMPARE(currentTable, 0);
    QVERIFY(!RuntimeGetImplicitWindow<Window2>());
    // Nothing was remembered for later.
    run.keys.Hold(false, false);
    run.Start();
    QCOMPARE(currentTable, 1);
    QCOMPARE(sequenceIndex, 0);
  }

  void triggerNeedsBothKeys() {
    Run run;
    Window1& w = run.Open(5);
    run.Start();
    run.keys.Hold(true, false);
    w.Timer1_Action(w.Timer1());
    QCOMPARE(sequenceIndex, 0);
    QCOMPARE(run.keys.optionReads, 1);
    run.keys.Hold(false, true);
    w.Timer1_Action(w.Timer1());
    QCOMPARE(sequenceIndex, 0);
    QCOMPARE(run.keys.optionReads, 1);  // Option is read only with Command down
    QCOMPARE(run.speech.texts, Announcement(1));
  }

  void lockOut() {
    Run run;
    Window1& w = run.Open(5);
    run.Start();
    run.keys.Hold(true, true);
    w.Timer1_Action(w.Timer1());
    QCOMPARE(sequenceIndex, 1);
    QVERIFY(hotkeyLocked);
    QVERIFY(w.Timer2().Armed());
    // A second press inside the lock-out is not even read.
    const int reads = run.keys.osReads;
    w.Timer1_Action(w.Timer1());
    QCOMPARE(sequenceIndex, 1);
    QCOMPARE(run.keys.osReads, reads);
    // Timer2 ends it.
    w.Timer2_Action(w.Timer2());
    QVERIFY(!hotkeyLocked);
    w.Timer1_Action(w.Timer1());
    QCOMPARE(sequenceIndex, 2);
    QCOMPARE(currentTable, 3);
  }

  void keysHeldAtStartAnnounceTheSecondTableOnTheNextPoll() {
    Run run;
    Window1& w = run.Open(5);
    run.keys.Hold(true, true);
    run.Start();
    QCOMPARE(currentTable, 1);
    w.Timer1_Action(w.Timer1());
    QCOMPARE(currentTable, 2);
  }

  void keysHeldAnnounceAboutOneTableASecond() {
    // The timers themselves drive this one.
    Run run;
    run.Open(9);
    run.keys.Hold(true, true);
    run.Start();
    QTRY_COMPARE_WITH_TIMEOUT(sequenceIndex, 1, 10000);
    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(sequenceIndex, 3, 20000);
    const qint64 twoMore = clock.elapsed();
    // Two full lock-outs lie between, and the keys are read again soon
    // after each one.
    QVERIFY2(twoMore >= 1900, qPrintable(QString::number(twoMore)));
    QVERIFY2(twoMore <= 8000, qPrintable(QString::number(twoMore)));
    // Released: no more tables.
    run.keys.Hold(false, false);
    const int32_t at = sequenceIndex;
    QTest::qWait(1500);
    QCOMPARE(sequenceIndex, at);
    std::vector<std::string> expected;
    for (int t = 1; t <= at + 1; ++t)
      for (const auto& s : Announcement(t)) expected.push_back(s);
    QCOMPARE(run.speech.texts, expected);
  }

  // ---- The end of the run

  void lastTriggerQuits_data() {
    QTest::addColumn<int>("tables");
    QTest::newRow("one table: the first trigger") << 1;
    QTest::newRow("3 tables: the third") << 3;
    QTest::newRow("99 tables: the 99th") << 99;
  }
  void lastTriggerQuits() {
    QFETCH(int, tables);
    Run run;
    run.Open(tables);
    run.Start();
    std::vector<int32_t> announced{currentTable};
    for (int k = 1; k < tables; ++k) {
      run.Trigger();
      QVERIFY(run.PanelOpen());
      announced.push_back(currentTable);
    }
    QCOMPARE(announced, OneTo(tables));
    const size_t spoken = run.speech.texts.size();
    run.Trigger();
    QVERIFY(!run.PanelOpen());
    QVERIFY(RuntimeQuitting());
    QCOMPARE(RuntimeQuitCode(), 0);
    // Nothing further is shown or spoken; the announcement window's place
    // was recorded on the way out.
    QCOMPARE(currentTable, tables);
    QCOMPARE(run.speech.texts.size(), spoken);
    QCOMPARE(window2Top, 40);
    QVERIFY(!RuntimeGetImplicitWindow<Window2>());
  }
};

SERVALO_TEST_MAIN(CallingTest)
#include "tst_calling.moc"
