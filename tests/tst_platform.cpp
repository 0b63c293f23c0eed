// The platform layer: design blocks, event binding, controls by name, the
// single-instance and build-order rules, menus and command dispatch, timers,
// the exception boundary and the text operations.
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <limits>

#include "AppFixture.h"
#include "Death.h"
#include "TestMain.h"
#include "platform/Controls.h"
#include "platform/Design.h"
#include "platform/Menu.h"
#include "platform/Text.h"
#include "platform/Window.h"
#include "platform/internal/Native.h"

namespace {

// A design object with one property of each kind, and no Qt behind it, so
// that malformed blocks can be tried in a child process.
class Plain : public DesignObject {
 public:
  Plain() {
    DeclareProperty("Count", PropKind::Integer);
    DeclareProperty("On", PropKind::Boolean);
    DeclareProperty("Tint", PropKind::Color);
    DeclareProperty("Caption", PropKind::Text);
  }
  std::string ClassName() const override { return "Plain"; }
};

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// A window that records its build and reaches itself through its accessor.
class Probe : public Window {
 public:
  std::string ClassName() const override { return "Probe"; }
  void Layout() override {
    Log().push_back("Layout");
    RuntimeMassPropertySetter(*this, DesignBlock().Text("Title", "Probe").Int("Width", 120).Int("Height", 80));
  }
  void CreateControls() override {
    Log().push_back("CreateControls");
    AddControl(New<PushButton>(), "Button");
    RuntimeAddEventHandler(ControlByName("Button"), "Open", RuntimeCreateDelegate(this, &Probe::Button_Open, "( PushButton )"));
    RuntimeAddEventHandler(ControlByName("Button"), "Action",
                           RuntimeCreateDelegate(this, &Probe::Button_Action, "( PushButton )"));
  }
  void AddMenuHandlers(Window& w) override {
    Log().push_back(&w == this ? "AddMenuHandlers(self)" : "AddMenuHandlers(other)");
    w.AddMenuHandler("Probe", RuntimeCreateDelegate(this, &Probe::Probe_Action, "(  ) as Boolean"));
  }
  void Event_Open() override;
  void Event_Close() override;
  void Button_Open(PushButton&) { Log().push_back("Button.Open"); }
  void Button_Action(PushButton& sender) { Log().push_back("Action:" + sender.Name()); }
  bool Probe_Action() {
    Log().push_back("Probe.menu");
    return answer;
  }
  bool answer = true;
};

Probe& ProbeInstance() { return RuntimeWindowInstance<Probe>(); }

void Probe::Event_Open() {
  Log().push_back(std::string("Open:") + (&ProbeInstance() == this ? "self" : "other") +
                  (IsShown() ? ":shown" : ":hidden"));
}
void Probe::Event_Close() { Log().push_back(std::string("Close:") + (&ProbeInstance() == this ? "self" : "other")); }

class Other : public Window {
 public:
  std::string ClassName() const override { return "Other"; }
  void Layout() override { RuntimeMassPropertySetter(*this, DesignBlock().Text("Title", "Other")); }
};

// A window whose build sizes it, frames it and gives it a menu bar, but
// never sets its place.
MenuBar* unplacedBar = nullptr;

class Unplaced : public Window {
 public:
  std::string ClassName() const override { return "Unplaced"; }
  void Layout() override {
    MenuBar(unplacedBar);
    RuntimeMassPropertySetter(
        *this, DesignBlock().Text("Title", "Unplaced").Int("Width", 300).Int("Height", 120).Int("Frame", 1).Int("Placement", 0));
  }
  void Event_Open() override {
    Width(310);
    Height(130);
  }
};

// A menu bar's one menu, "&File".
void AppendFileMenu(MenuBar& bar) {
  auto file = std::make_unique<MenuItem>();
  file->Name("FileMenu");
  file->Text("&File");
  bar.Append(std::move(file));
}

}  // namespace

class PlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { Log().clear(); }
  void cleanup() {
    RuntimeDiscardAllWindows();
    RuntimeResetQuit();
  }

  void blockBytes() {
    const DesignBlock b = DesignBlock().Int("A", -2).Bool("B", true).Col("C", 0x102030).Text("D", "é");
    const std::vector<uint8_t> expected = {'A', ' ', 0xFF, 0xFF, 0xFF, 0xFE, 'B', ' ', 1,   'C', ' ',
                                           0x10, 0x20, 0x30, 'D', ' ', 0,    0,    0,    2,   0xC3, 0xA9};
    QCOMPARE(b.Bytes(), expected);
  }

  void blockRoundTrip_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("integer min") << QByteArray("Count");
    QTest::newRow("boolean") << QByteArray("On");
    QTest::newRow("color") << QByteArray("Tint");
    QTest::newRow("text") << QByteArray("Caption");
  }
  void blockRoundTrip() {
    Plain p;
    RuntimeMassPropertySetter(p, DesignBlock()
                                     .Int("Count", std::numeric_limits<int32_t>::min())
                                     .Bool("On", true)
                                     .Col("Tint", 0xFF8000)
                                     .Text("Caption", "Tisch \xE2\x80\x9C" "7\xE2\x80\x9D"));
    QCOMPARE(p.DesignInt("Count"), std::numeric_limits<int32_t>::min());
    QCOMPARE(p.DesignBool("On"), true);
    QVERIFY(std::get<Color>(*p.DesignValue("Tint")) == (Color{0xFF, 0x80, 0x00}));
    QCOMPARE(p.DesignText("Caption"), std::string("Tisch \xE2\x80\x9C" "7\xE2\x80\x9D"));
    // The same items in another order give the same values; an empty block
    // changes nothing.
    Plain q;
    RuntimeMassPropertySetter(q, DesignBlock().Text("Caption", "").Int("Count", 5));
    RuntimeMassPropertySetter(q, std::vector<uint8_t>{});
    QCOMPARE(q.DesignInt("Count"), 5);
    QCOMPARE(q.DesignText("Caption", "unset"), std::string());
  }

  void malformedBlocksFail_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("name without value") << QByteArray("Count") << "without a value";
    QTest::newRow("empty name") << QByteArray(" \0\0\0\1", 5) << "empty property name";
    QTest::newRow("bad name byte") << QByteArray("Co-unt \0\0\0\1", 11) << "not a name character";
    QTest::newRow("integer cut short") << QByteArray("Count \0\1", 8) << "cut short";
    QTest::newRow("boolean 2") << QByteArray("On \2", 4) << "neither 0 nor 1";
    QTest::newRow("colour cut short") << QByteArray("Tint \1\2", 7) << "cut short";
    QTest::newRow("negative text length") << QByteArray("Caption \xFF\xFF\xFF\xFF", 12) << "negative text length";
    QTest::newRow("text beyond the end") << QByteArray("Caption \0\0\0\x09" "abc", 15) << "cut short";
    QTest::newRow("text not UTF-8") << QByteArray("Caption \0\0\0\1\xFF", 13) << "not UTF-8";
    QTest::newRow("unknown property") << QByteArray("Colour \0\0\0\1", 11) << "unknown design property 'Colour'";
  }
  void malformedBlocksFail() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const std::vector<uint8_t> block(bytes.begin(), bytes.end());
    Plain p;
    EXPECT_FATAL(RuntimeMassPropertySetter(p, block), message.toStdString());
  }

  void wrongKindFails() {
    Plain p;
    // The builder's kinds catch what the bytes alone might not.
    EXPECT_FATAL(RuntimeMassPropertySetter(p, DesignBlock().Bool("Count", true)), "takes a Integer value, not a Boolean");
    EXPECT_FATAL(p.SetProperty("Caption", PropValue(int32_t(3))), "takes a Text value");
    // A block that is malformed further on changes nothing before it fails.
    Plain q;
    const ChildEnd end = RunInChild([&] {
      std::vector<uint8_t> block = DesignBlock().Int("Count", 9).Bytes();
      block.push_back('X');
      RuntimeMassPropertySetter(q, block);
    });
    QVERIFY(end.aborted);
    QCOMPARE(q.DesignValue("Count"), nullptr);
  }

  void buildOrderAndSingleInstance() {
    Probe& w = ProbeInstance();
    const std::vector<std::string> expected = {"Layout", "CreateControls", "AddMenuHandlers(self)", "Button.Open",
                                               "Open:self:hidden"};
    QCOMPARE(Log(), expected);
    QVERIFY(w.IsShown());
    QCOMPARE(&ProbeInstance(), &w);  // a second use builds nothing
    QCOMPARE(Log().size(), expected.size());
    QCOMPARE(RuntimeGetImplicitWindow<Other>(), nullptr);  // looking creates nothing

    // Its own Close handler still reaches it; afterwards it is gone and the
    // next use builds a new one, which is shown even for a read.
    w.Close();
    QCOMPARE(Log().back(), std::string("Close:self"));
    QCOMPARE(RuntimeGetImplicitWindow<Probe>(), nullptr);
    w.Close();  // a second close of the same window does nothing
    QCOMPARE(RuntimeCloseEvents(typeid(Probe)), 1);
    Log().clear();
    const int32_t top = ProbeInstance().Top();
    Q_UNUSED(top);
    QCOMPARE(Log().front(), std::string("Layout"));
    QVERIFY(RuntimeGetImplicitWindow<Probe>()->IsShown());
  }

  void closedWindowIsDiscardedAfterTheEvent() {
    QPointer<QWidget> native = ProbeInstance().Native();
    ProbeInstance().Close();
    QVERIFY(native);  // still there while the closing handler may run on
    QTRY_VERIFY_WITH_TIMEOUT(!native, 5000);
  }

  void geometryIsTheContents() {
    Probe& w = ProbeInstance();
    w.Top(200);
    w.Left(-30);
    QCOMPARE(w.Top(), 200);
    QCOMPARE(w.Left(), -30);
    QCOMPARE(w.Content()->mapToGlobal(QPoint(0, 0)), QPoint(-30, 200));
    w.Width(300);
    w.Height(150);
    QCOMPARE(w.Content()->size(), QSize(300, 150));
    QCOMPARE(w.Top(), 200);  // resizing keeps the place
    // Not resizeable by default: the operator cannot change the size.
    QCOMPARE(w.Native()->minimumSize(), w.Native()->maximumSize());
  }

  void menuBarStandsAboveTheContent() {
    MenuBar bar;
    AppendFileMenu(bar);
    Probe& w = ProbeInstance();
    w.Top(300);
    w.Left(10);
    w.MenuBar(&bar);
    QCOMPARE(w.Top(), 300);
    QCOMPARE(w.Content()->mapToGlobal(QPoint(0, 0)), QPoint(10, 300));
    QCOMPARE(w.Content()->size(), QSize(120, 80));
    QVERIFY(w.Native()->geometry().top() < 300);
    RuntimeDiscardAllWindows();
  }

  // A place beyond what the window system can hold (X11: 16 signed bits)
  // puts the window at the nearest one it can, with no overflow on the way,
  // yet reads back as it was given while the window stands there, also
  // after a resize or a menu bar that comes places it anew. With a menu bar
  // above the content, the limits hold for the whole window, menu bar
  // included. Once the native window is moved, the place reads where it
  // stands, and a coordinate given before the move does not come back.
  void placesBeyondTheWindowSystem_data() {
    QTest::addColumn<int32_t>("value");
    QTest::addColumn<int>("placed");
    QTest::newRow("largest") << INT32_MAX << 32767;
    QTest::newRow("smallest") << INT32_MIN << -32768;
    QTest::newRow("40000") << 40000 << 32767;
    QTest::newRow("-50000") << -50000 << -32768;
    QTest::newRow("32767") << 32767 << 32767;
    QTest::newRow("-32768") << -32768 << -32768;
    QTest::newRow("-1366") << -1366 << -1366;
  }
  void placesBeyondTheWindowSystem() {
    QFETCH(int32_t, value);
    QFETCH(int, placed);
    MenuBar bar;
    AppendFileMenu(bar);
    Probe& w = ProbeInstance();
    w.Top(value);
    w.Left(value);
    w.Width(400);
    QCOMPARE(w.Top(), value);
    QCOMPARE(w.Left(), value);
    QCOMPARE(w.Content()->mapToGlobal(QPoint(0, 0)), QPoint(placed, placed));

    w.MenuBar(&bar);
    w.Height(100);
    QCOMPARE(w.Top(), value);
    QCOMPARE(w.Left(), value);
    const int menuHeight = w.Content()->mapTo(w.Native(), QPoint(0, 0)).y();
    QVERIFY(menuHeight > 0);
    const int windowTop = int(std::clamp(int64_t(value) - menuHeight, int64_t(-32768), int64_t(32767)));
    QCOMPARE(w.Native()->geometry().topLeft(), QPoint(placed, windowTop));

    // The window system moves it, as a drag or the window manager does.
    w.Native()->windowHandle()->setPosition(70, 90);
    QTRY_COMPARE(w.Native()->geometry().topLeft(), QPoint(70, 90));
    QCOMPARE(w.Top(), 90 + menuHeight);
    QCOMPARE(w.Left(), 70);
    w.Width(300);
    QCOMPARE(w.Top(), 90 + menuHeight);
    QCOMPARE(w.Left(), 70);
    w.Top(value);
    QCOMPARE(w.Top(), value);
    QCOMPARE(w.Left(), 70);
    RuntimeDiscardAllWindows();
  }

  // A window that its code never places has no place of its own when it is
  // shown, so the window manager puts it where new windows go; setting Top
  // or Left places it exactly, and it keeps that place when it is resized
  // or its menu bar changes.
  void unplacedWindowIsLeftToTheWindowManager() {
    MenuBar bar;
    AppendFileMenu(bar);
    unplacedBar = &bar;
    Window& w = RuntimeWindowInstance<Unplaced>();
    QVERIFY(w.IsShown());
    QCOMPARE(w.Content()->size(), QSize(310, 130));
    QVERIFY(!w.Native()->testAttribute(Qt::WA_Moved));

    w.Left(-15);
    QVERIFY(w.Native()->testAttribute(Qt::WA_Moved));
    QCOMPARE(w.Left(), -15);
    w.Top(333);
    w.Width(200);
    w.MenuBar(nullptr);
    w.Height(90);
    QCOMPARE(w.Content()->mapToGlobal(QPoint(0, 0)), QPoint(-15, 333));
    QCOMPARE(w.Content()->size(), QSize(200, 90));
    RuntimeDiscardAllWindows();
    unplacedBar = nullptr;
  }

  void eventBindingIsChecked() {
    Probe& w = ProbeInstance();
    Control& button = w.ControlByName("Button");
    ControlCast<PushButton>(button).Push();
    QCOMPARE(Log().back(), std::string("Action:Button"));
    EXPECT_FATAL(RuntimeAddEventHandler(button, "Action", RuntimeCreateDelegate(&w, &Probe::Button_Action, "( Timer )")),
                 "declared as '( Timer )'");
    EXPECT_FATAL(RuntimeAddEventHandler(button, "Action", RuntimeCreateDelegate(&w, &Probe::Probe_Action, "( PushButton )")),
                 "C++ signature");
    EXPECT_FATAL(RuntimeAddEventHandler(button, "Paint", RuntimeCreateDelegate(&w, &Probe::Button_Action, "( PushButton )")),
                 "has no event Paint");
    EXPECT_FATAL(w.AddMenuHandler("X", RuntimeCreateDelegate(&w, &Probe::Probe_Action, "( )")), "expected '(  ) as Boolean'");
  }

  void controlsByName() {
    Probe& w = ProbeInstance();
    QCOMPARE(&w.ControlByName("Button"), &w.ControlByName("Button"));
    EXPECT_FATAL(w.ControlByName("Nothing"), "no control named 'Nothing'");
    EXPECT_FATAL(ControlCast<Label>(w.ControlByName("Button")), "is a PushButton");
    EXPECT_FATAL(w.AddControl(w.New<Label>(), "Button"), "already has a control named 'Button'");
    EXPECT_FATAL(RuntimeMassPropertySetter(w.ControlByName("Button"), DesignBlock().Text("Text", "x")),
                 "unknown design property 'Text' for class PushButton");
  }

  void checkBoxActionOnlyOnClick() {
    Probe& w = ProbeInstance();
    w.AddControl(w.New<CheckBox>(), "Box");
    int actions = 0;
    struct Counter {
      int* n;
      void Box_Action(CheckBox&) { ++*n; }
    } counter{&actions};
    RuntimeAddEventHandler(w.ControlByName("Box"), "Action", RuntimeCreateDelegate(&counter, &Counter::Box_Action, "( CheckBox )"));
    CheckBox& box = ControlCast<CheckBox>(w.ControlByName("Box"));
    box.Value(true);
    box.Value(false);
    QCOMPARE(actions, 0);
    box.Click();
    QCOMPARE(actions, 1);
    QCOMPARE(box.Value(), true);
  }

  void menuTreeLookups() {
    MenuBar bar;
    auto menu = std::make_unique<MenuItem>();
    menu->Name("FileMenu");
    auto item = std::make_unique<MenuItem>();
    item->Name("FilePrint");
    item->KeyboardShortcut("Cmd+P");
    menu->Append(std::move(item));
    bar.Append(std::move(menu));
    QCOMPARE(bar.Child("FileMenu").Child("FilePrint").Name(), std::string("FilePrint"));
    QCOMPARE(&bar.Lookup("FilePrint"), &bar.Child("FileMenu").Child("FilePrint"));
    QCOMPARE(bar.Find("Nothing"), nullptr);
    QCOMPARE(bar.Lookup("FilePrint").NativeAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_FATAL(bar.Child("FilePrint"), "has no child named 'FilePrint'");
    EXPECT_FATAL(bar.Lookup("EditMenu"), "no menu item named 'EditMenu'");
  }

  // An item that already stands in a window's menu bar, or in a menu, and
  // then gets children becomes a menu in the same place.
  void itemTakesChildrenWhereItStands() {
    auto item = [](const char* name) {
      auto i = std::make_unique<MenuItem>();
      i->Name(name);
      i->Text(name);
      return i;
    };
    MenuBar bar;
    bar.Append(item("FileMenu"));
    Probe& w = ProbeInstance();
    w.MenuBar(&bar);
    MenuItem& file = bar.Child("FileMenu");
    file.Append(item("First"));
    file.Append(item("Recent"));
    file.Append(item("Last"));
    MenuItem& recent = file.Child("Recent");
    recent.Append(item("Older"));

    const QList<QAction*> onBar = w.Native()->menuBar()->actions();
    QCOMPARE(onBar, QList<QAction*>{file.NativeAction()});
    QMenu* fileMenu = file.NativeAction()->menu();
    QVERIFY(fileMenu);
    QCOMPARE(fileMenu->actions(), (QList<QAction*>{file.Child("First").NativeAction(), recent.NativeAction(),
                                                   file.Child("Last").NativeAction()}));
    QVERIFY(recent.NativeAction()->menu());
    QCOMPARE(recent.NativeAction()->menu()->actions(), QList<QAction*>{recent.Child("Older").NativeAction()});
    QCOMPARE(recent.NativeAction()->text(), QString("Recent"));
  }

  // A separator draws a line only: the "-" that makes it one is no caption.
  void separatorHasNoCaption() {
    MenuItem line;
    line.Text("-");
    QVERIFY(line.NativeAction()->isSeparator());
    QCOMPARE(line.NativeAction()->text(), QString());
    QCOMPARE(line.Text(), std::string("-"));
    line.Text("Print");
    QVERIFY(!line.NativeAction()->isSeparator());
    QCOMPARE(line.NativeAction()->text(), QString("Print"));
  }

  // An item shows a check indicator once its check mark has been set,
  // ticked or not, and choosing it leaves the mark to the program.
  void checkMarks() {
    MenuItem never, unticked, ticked;
    for (MenuItem* i : {&never, &unticked, &ticked}) i->Name("Unbound");
    unticked.Checked(false);
    ticked.Checked(true);
    QVERIFY(!never.NativeAction()->isCheckable());
    QVERIFY(unticked.NativeAction()->isCheckable());
    QVERIFY(!unticked.NativeAction()->isChecked());
    QVERIFY(ticked.NativeAction()->isCheckable());
    QVERIFY(ticked.NativeAction()->isChecked());
    for (MenuItem* i : {&unticked, &ticked}) {
      const bool before = i->Checked();
      i->NativeAction()->trigger();
      QCOMPARE(i->NativeAction()->isChecked(), before);
    }
  }

  void dispatchFrontWindowFirst() {
    AppFixture fx;
    struct Handlers {
      std::vector<std::string>* log;
      bool AppProbe() { log->push_back("app"); return true; }
    } appSide{&Log()};
    fx.app.AddMenuHandler("Probe", RuntimeCreateDelegate(&appSide, &Handlers::AppProbe, "(  ) as Boolean"));
    Probe& w = ProbeInstance();
    QVERIFY(RuntimeMenuCommand("Probe"));
    QCOMPARE(Log().back(), std::string("Probe.menu"));
    // A window handler that returns false passes the command on.
    w.answer = false;
    QVERIFY(RuntimeMenuCommand("Probe"));
    QCOMPARE(Log().back(), std::string("app"));
    // With another window in front, the application's handler runs.
    w.answer = true;
    RuntimeWindowInstance<Other>();
    QApplication::setActiveWindow(RuntimeGetImplicitWindow<Other>()->Native());
    QVERIFY(RuntimeMenuCommand("Probe"));
    QCOMPARE(Log().back(), std::string("app"));
    QVERIFY(!RuntimeMenuCommand("Unbound"));
  }

  void timers() {
    Probe& w = ProbeInstance();
    w.AddControl(w.New<Timer>(), "Once");
    Timer& once = ControlCast<Timer>(w.ControlByName("Once"));
    RuntimeMassPropertySetter(once, DesignBlock().Int("Mode", 1).Int("Period", 100));
    QVERIFY(once.Armed());
    QTRY_COMPARE_WITH_TIMEOUT(once.FireCount(), 1, 5000);
    QTest::qWait(300);
    QCOMPARE(once.FireCount(), 1);  // one-shot: once per arming
    once.Mode(1);                   // setting the mode arms it again
    QTRY_COMPARE_WITH_TIMEOUT(once.FireCount(), 2, 5000);

    w.AddControl(w.New<Timer>(), "Repeat");
    struct Counter {
      int fired = 0;
      void Repeat_Action(Timer&) { ++fired; }
    } counter;
    RuntimeAddEventHandler(w.ControlByName("Repeat"), "Action",
                           RuntimeCreateDelegate(&counter, &Counter::Repeat_Action, "( Timer )"));
    RuntimeMassPropertySetter(w.ControlByName("Repeat"), DesignBlock().Int("Mode", 2).Int("Period", 20));
    QTRY_VERIFY_WITH_TIMEOUT(counter.fired >= 5, 5000);
    w.Close();  // a timer stops with its window
    const int fired = counter.fired;
    QTest::qWait(200);
    QCOMPARE(counter.fired, fired);
  }

  void exceptionInHandlerEndsTheProgram() {
    // In a child: the report goes to standard error and a message box, and
    // the program ends with status 1; nothing reaches Qt.
    FakeDialogs dialogs;
    const ChildEnd end = RunInChild([&] {
      Probe& w = ProbeInstance();
      struct Thrower {
        void Boom(PushButton&) { throw std::runtime_error("boom"); }
      } thrower;
      w.AddControl(w.New<PushButton>(), "B2");
      RuntimeAddEventHandler(w.ControlByName("B2"), "Action", RuntimeCreateDelegate(&thrower, &Thrower::Boom, "( PushButton )"));
      ControlCast<PushButton>(w.ControlByName("B2")).Push();
      std::fprintf(stderr, "went on\n");
    });
    QCOMPARE(end.exitCode, 1);
    QVERIFY2(end.stderrText.find("An exception was not handled: boom") != std::string::npos, end.stderrText.c_str());
    QVERIFY(end.stderrText.find("went on") == std::string::npos);
  }

  void val_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "20" << 20.0;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("leading blanks and tab") << " \t 42" << 42.0;
    QTest::newRow("trailing text") << "12abc" << 12.0;
    QTest::newRow("fraction") << "1.75" << 1.75;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("exponent") << "2e3" << 2000.0;
    QTest::newRow("exponent without digits") << "2e" << 2.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "yes" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("no hex or inf") << "inf" << 0.0;
    QTest::newRow("huge") << "1e400" << std::numeric_limits<double>::infinity();
    QTest::newRow("tiny") << "1e-400" << 0.0;
  }
  void val() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(Val(text.toStdString()), value);
  }

  void textOperations() {
    QCOMPARE(Int32FromDouble(1.9), 1);
    QCOMPARE(Int32FromDouble(-1.9), -1);
    QCOMPARE(Int32FromDouble(1e12), std::numeric_limits<int32_t>::max());
    QCOMPARE(Int32FromDouble(-1e12), std::numeric_limits<int32_t>::min());
    QCOMPARE(Int32FromDouble(std::nan("")), 0);
    QCOMPARE(StringStrInt32(-2147483647 - 1), std::string("-2147483648"));
    // Positions count characters, not bytes.
    const std::string s = "\xE2\x80\x9C" "close\xE2\x80\x9D <a>x</a>";
    QCOMPARE(Len(s), 16);
    QCOMPARE(InStr(0, s, "<A>"), 9);  // letter case ignored
    QCOMPARE(InStr(10, s, "<a>"), 0);
    QCOMPARE(Mid(s, 2, 5), std::string("close"));
    QCOMPARE(Mid(s, 20, 3), std::string());
    QCOMPARE(Mid("abc", 2, -1), std::string("bc"));
    QCOMPARE(NthField("683,0,9", ",", 2), std::string("0"));
    QCOMPARE(NthField("683", ",", 1), std::string("683"));
    QCOMPARE(NthField("683", ",", 2), std::string());
    QVERIFY(TextEquals("random", "Random"));
    QVERIFY(!TextEquals(" Random", "Random"));
    QCOMPARE(Lowercase("NumberOfTables"), std::string("numberoftables"));
    QCOMPARE(Len("\xFF\xFE"), 2);  // invalid bytes count one each, no crash
  }
};

SERVALO_TEST_MAIN(PlatformTest)
#include "tst_platform.moc"
