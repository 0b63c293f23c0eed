// The application shell: the menu bar's tree, the application's menu
// enabling, the control panel's design, its timers and every quit path.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <algorithm>

#include "AppFixture.h"
#include "TestMain.h"
#include "calling/Window1.h"
#include "calling/Window2.h"
#include "platform/internal/Native.h"
#include "platform/testing/FileFakes.h"
#include "shell/AboutBox.h"
#include "shell/Help.h"
#include "shell/MenuBar1.h"
#include "update/WebSite.h"
#include "update/selfTest.h"
#include "update/updateWindow.h"

class ShellTest : public QObject {
  Q_OBJECT

 private slots:
  void menuTree() {
    AppFixture fx;
    struct Row {
      const char* parent;  // "" for the bar itself
      const char* name;
      const char* cls;
      const char* caption;
      const char* shortcut;  // nullptr: none set
    };
    const Row rows[] = {
        {"", "FileMenu", "MenuItem", "&File", ""},
        {"FileMenu", "FilePrint", "MenuItem", "Print Help", "Cmd+P"},
        {"FileMenu", "FileQuit", "QuitMenuItem", "&Quit", "Cmd+Q"},
        {"", "EditMenu", "MenuItem", "&Edit", ""},
        {"EditMenu", "EditUndo", "MenuItem", "&Undo", "Cmd+Z"},
        {"EditMenu", "UntitledMenu1", "MenuItem", "-", nullptr},
        {"EditMenu", "EditCut", "MenuItem", "Cu&t", "Cmd+X"},
        {"EditMenu", "EditCopy", "MenuItem", "&Copy", "Cmd+C"},
        {"EditMenu", "EditPaste", "MenuItem", "&Paste", "Cmd+V"},
        {"EditMenu", "EditClear", "MenuItem", "&Delete", ""},
        {"EditMenu", "UntitledMenu0", "MenuItem", "-", nullptr},
        {"EditMenu", "EditSelectAll", "MenuItem", "Select &All", "Cmd+A"},
        {"", "OrderMenu", "MenuItem", "Order", ""},
        {"OrderMenu", "OrderInOrder", "MenuItem", "In Order", ""},
        {"OrderMenu", "OrderRandom", "MenuItem", "Random", ""},
        {"", "CheckforUpdateMenu", "MenuItem", "Check for Update", ""},
        {"CheckforUpdateMenu", "CheckforUpdateCheckNow", "MenuItem", "Check Now", ""},
        {"", "HelpMenu", "MenuItem", "Help ", ""},
        {"HelpMenu", "HelpShowHelp", "MenuItem", "Show Help", ""},
        {"HelpMenu", "HelpAboutBox", "AppleMenuItem", "About...", ""},
    };
    QVERIFY(!MenuBar1Built());
    MenuBar1& bar = MenuBar1Instance();
    QCOMPARE(&MenuBar1Instance(), &bar);
    std::map<std::string, int> position;
    for (const Row& r : rows) {
      const MenuItem& parent = r.parent[0] ? bar.Child(r.parent) : static_cast<const MenuItem&>(bar);
      const int at = position[r.parent]++;
      const MenuItem& item = parent.Item(at);
      QCOMPARE(item.Name(), std::string(r.name));
      QCOMPARE(&bar.Lookup(r.name), &item);
      QCOMPARE(item.ClassName(), std::string(r.cls));
      QCOMPARE(item.Text(), std::string(r.caption));
      QCOMPARE(item.HasKeyboardShortcut(), r.shortcut != nullptr);
      if (r.shortcut) QCOMPARE(item.KeyboardShortcut(), std::string(r.shortcut));
      QVERIFY(item.AutoEnable());
      QVERIFY(item.Visible());
      QVERIFY(!item.Checked());
    }
    QCOMPARE(bar.Count(), 5);
    QCOMPARE(position["EditMenu"], bar.Child("EditMenu").Count());
    // As Qt sees them: the shortcuts and the separators.
    QCOMPARE(bar.Lookup("FilePrint").NativeAction()->shortcut(), QKeySequence("Ctrl+P"));
    QCOMPARE(bar.Lookup("FileQuit").NativeAction()->menuRole(), QAction::QuitRole);
    QCOMPARE(bar.Lookup("HelpAboutBox").NativeAction()->menuRole(), QAction::AboutRole);
    QVERIFY(bar.Lookup("UntitledMenu0").NativeAction()->isSeparator());
  }

  void enableMenuItemsEnablesHelpItems() {
    AppFixture fx;
    MenuBar1Instance().Lookup("HelpShowHelp").Enabled(false);
    MenuBar1Instance().Lookup("HelpAboutBox").Enabled(false);
    MenuBar1Instance().Lookup("FilePrint").Enabled(false);
    fx.app.Event_EnableMenuItems();
    QVERIFY(MenuBar1Instance().Lookup("HelpShowHelp").Enabled());
    QVERIFY(MenuBar1Instance().Lookup("HelpAboutBox").Enabled());
    QVERIFY(!MenuBar1Instance().Lookup("FilePrint").Enabled());  // only those two
  }

  void openingShowsOnlyThePanel() {
    AppFixture fx;
    fx.app.Event_Open();
    QCOMPARE(RuntimeOpenWindows().size(), size_t(1));
    Window1& panel = Window1Instance();
    QVERIFY(panel.IsShown());
    QCOMPARE(panel.MenuBar(), static_cast<::MenuBar*>(&MenuBar1Instance()));
    QVERIFY(!MenuBar1Instance().Lookup("OrderMenu").Checked());
  }

  void controlPanelDesign() {
    AppFixture fx;
    Window1& panel = Window1Instance();
    QCOMPARE(panel.Title(), std::string("Servalo"));
    QCOMPARE(panel.Top(), 683);  // the default place: bottom-left of 1366 x 768
    QCOMPARE(panel.Left(), 0);
    QCOMPARE(panel.Content()->size(), QSize(200, 85));
    QCOMPARE(panel.Content()->mapToGlobal(QPoint(0, 0)), QPoint(0, 683));
    QCOMPARE(panel.Native()->minimumSize(), panel.Native()->maximumSize());  // not resizeable
    const Qt::WindowFlags flags = panel.Native()->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

    struct Row {
      const char* name;
      const char* cls;
      QRect geometry;
      int tab;
    };
    const Row rows[] = {
        {"UpDownArrows1", "UpDownArrows", QRect(17, 39, 13, 23), 0},
        {"TextField1", "TextField", QRect(42, 39, 46, 22), 1},
        {"MyStart", "PushButton", QRect(100, 13, 80, 20), 2},
        {"Label1", "Label", QRect(14, 15, 80, 20), 3},
        {"Timer1", "Timer", QRect(), -1},
        {"Timer2", "Timer", QRect(), -1},
        {"SoundCheckBox", "CheckBox", QRect(110, 45, 74, 20), 4},
    };
    QCOMPARE(panel.Controls().size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
      const Control& c = *panel.Controls()[i];
      QCOMPARE(c.Name(), std::string(rows[i].name));
      QCOMPARE(c.ClassName(), std::string(rows[i].cls));
      if (rows[i].tab >= 0) {
        QCOMPARE(c.NativeWidget()->geometry(), rows[i].geometry);
        QCOMPARE(c.TabIndex(), rows[i].tab);
        QCOMPARE(c.DesignInt("Index"), INT32_MIN);
      } else {
        QCOMPARE(c.NativeWidget(), nullptr);
      }
    }
    auto* field = static_cast<QLineEdit*>(panel.TextField1().NativeWidget());
    QVERIFY(field->isReadOnly());
    QCOMPARE(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(panel.MyStart().Caption(), std::string("Start"));
    QVERIFY(static_cast<QPushButton*>(panel.MyStart().NativeWidget())->isDefault());
    QCOMPARE(panel.Label1().Text(), std::string("No. Tables"));
    QCOMPARE(static_cast<QCheckBox*>(panel.SoundCheckBox().NativeWidget())->text(), QString("Sound"));
    QCOMPARE(panel.Timer1().Mode(), 2);
    QCOMPARE(panel.Timer1().Period(), 50);
    QCOMPARE(panel.Timer2().Mode(), 1);
    QCOMPARE(panel.Timer2().Period(), 1000);
    // Accessors look up; they never create.
    QCOMPARE(&panel.TextField1(), &panel.TextField1());

    // Tab order: field, Start, Sound; the arrows and the label take no focus.
    QCOMPARE(panel.UpDownArrows1().NativeWidget()->focusPolicy(), Qt::NoFocus);
    QWidget* next = field->nextInFocusChain();
    while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
    QCOMPARE(next, panel.MyStart().NativeWidget());
    next = next->nextInFocusChain();
    while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
    QCOMPARE(next, panel.SoundCheckBox().NativeWidget());

    // The menu commands the panel binds.
    QVERIFY(panel.HasMenuHandler("FilePrint"));
    QVERIFY(panel.HasMenuHandler("OrderRandom"));
    QVERIFY(panel.HasMenuHandler("OrderInOrder"));
    QVERIFY(!panel.HasMenuHandler("FileQuit"));
    QCOMPARE(&panel.FileQuit(), &MenuBar1Instance().Lookup("FileQuit"));
  }

  void timersOfThePanel() {
    AppFixture fx;
    Window1& panel = Window1Instance();
    // Timer1 polls about twenty times a second; Timer2 fires once, about
    // a second after the panel was built. Before Start neither changes
    // anything.
    QTRY_VERIFY_WITH_TIMEOUT(panel.Timer1().FireCount() >= 10, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(panel.Timer2().FireCount(), 1, 10000);
    const int polls = panel.Timer1().FireCount();
    QTest::qWait(1500);
    QCOMPARE(panel.Timer2().FireCount(), 1);
    QVERIFY(panel.Timer1().FireCount() > polls);
    QVERIFY(!callingStarted);
    QVERIFY(!hotkeyLocked);
    QCOMPARE(fx.keys.osReads, 0);  // nothing is read before Start
  }

  // Each window stands where its code puts it; one whose code never places
  // it (the update window, a help window that printing creates) has no
  // place of its own, and the window manager places it.
  void windowPlaces_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("placed");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("control panel") << "panel" << true << QPoint(0, 683);
    QTest::newRow("announcement window") << "announcement" << true << QPoint(0, 40);
    QTest::newRow("help window from its menu") << "help menu" << true << QPoint(20, 60);
    QTest::newRow("about box") << "about" << true << QPoint(20, 60);
    QTest::newRow("version window") << "version" << true << QPoint(20, 60);
    QTest::newRow("help window for printing") << "help" << false << QPoint();
    QTest::newRow("update window") << "update" << false << QPoint();
  }
  void windowPlaces() {
    QFETCH(QString, window);
    QFETCH(bool, placed);
    QFETCH(QPoint, place);
    AppFixture fx;
    SetWebSiteHostForTesting("127.0.0.1:1");  // the request is never answered while the test looks
    fx.app.Event_Open();
    Window* w = nullptr;
    if (window == "panel") w = &Window1Instance();
    else if (window == "announcement") w = &Window2Instance();
    else if (window == "help menu" && fx.app.HandleMenuCommand("HelpShowHelp")) w = &HelpInstance();
    else if (window == "about" && fx.app.HandleMenuCommand("HelpAboutBox")) w = &AboutBoxInstance();
    else if (window == "version" && fx.app.HandleMenuCommand("CheckforUpdateCheckNow")) w = &selfTestInstance();
    else if (window == "help") w = &HelpInstance();
    else if (window == "update") w = &updateWindowInstance();
    SetWebSiteHostForTesting("");
    QVERIFY(w);
    QVERIFY(w->IsShown());
    QCOMPARE(w->Native()->testAttribute(Qt::WA_Moved), placed);
    if (placed) QCOMPARE(w->Content()->mapToGlobal(QPoint(0, 0)), place);
  }

  // Each quit path runs the panel's Close handler once, records the
  // announcement window's place (creating that window), writes the
  // settings file once, and quits with 0.
  void quitPaths_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("close box") << "close box";
    QTest::newRow("File > Quit") << "menu";
    QTest::newRow("Ctrl+Q") << "shortcut";
    QTest::newRow("platform quit") << "platform";
  }
  void quitPaths() {
    QFETCH(QString, path);
    AppFixture fx;
    fx.app.Event_Open();
    window2Top = 222;  // where the announcement window is to open
    window2Left = 33;
    Window1& panel = Window1Instance();
    QApplication::setActiveWindow(panel.Native());
    QFile settings(fx.prefs.filePath("servalo.txt"));
    QVERIFY(!settings.exists());
    FaultyFileSystem files;  // fails nothing; counts the saves
    if (path == "close box") panel.Native()->close();
    else if (path == "menu") MenuBar1Instance().Lookup("FileQuit").NativeAction()->trigger();
    else if (path == "shortcut") QTest::keyClick(panel.Native(), Qt::Key_Q, Qt::ControlModifier);
    else RuntimeQuit(0);
    QCOMPARE(RuntimeCloseEvents(typeid(Window1)), 1);
    QVERIFY(RuntimeQuitting());
    QCOMPARE(RuntimeQuitCode(), 0);
    QCOMPARE(RuntimeGetImplicitWindow<Window1>(), nullptr);
    QCOMPARE(window2Top, 222);  // the announcement window opened where it was told
    QCOMPARE(window2Left, 33);
    QCOMPARE(RuntimeGetImplicitWindow<Window2>(), nullptr);  // and the quit closed it too
    QCOMPARE(std::count(files.steps.begin(), files.steps.end(), FileStep::Rename), qsizetype(1));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll(), QByteArray("#NumberOfTables 20\n#Order Random\n#MySound True\n"
                                            "#Window1Position 683,0\n#Window2Position 222,33\n"));
  }

  void quitKeepsTheAnnouncementWindowsLivePlace() {
    AppFixture fx;
    fx.app.Event_Open();
    Window2Instance().Top(300);
    Window2Instance().Left(12);
    RuntimeQuit(0);  // the platform closes the panel first, while the other is open
    QCOMPARE(window2Top, 300);
    QCOMPARE(window2Left, 12);
    QCOMPARE(RuntimeCloseEvents(typeid(Window1)), 1);
  }
};

SERVALO_TEST_MAIN(ShellTest)
#include "tst_shell.moc"
