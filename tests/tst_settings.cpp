// Loading the settings when the application opens and saving them when the
// control panel closes, including saves that fail or are cut short.
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

#include "AppFixture.h"
#include "TestMain.h"
#include "calling/CallingState.h"
#include "calling/Window1.h"
#include "calling/Window2.h"
#include "platform/Files.h"
#include "platform/internal/Native.h"
#include "platform/testing/FileFakes.h"
#include "settings/Settings.h"

Q_DECLARE_METATYPE(FileStep)

namespace {

// A preferences folder of the test's own for as long as it lives.
struct PrefsFolder {
  QTemporaryDir dir;
  QString path;
  QByteArray saved = qgetenv("XDG_CONFIG_HOME");

  explicit PrefsFolder(const QString& below = QString())
      : path(below.isEmpty() ? dir.path() : dir.filePath(below)) {
    qputenv("XDG_CONFIG_HOME", path.toUtf8());
  }
  ~PrefsFolder() { qputenv("XDG_CONFIG_HOME", saved); }

  QString File() const { return path + "/servalo.txt"; }
  void Write(const QByteArray& bytes) const {
    QFile f(File());
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
  }
  QByteArray Read() const {
    QFile f(File());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
  }
  // Every name in the folder, hidden ones too.
  QStringList Names() const {
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  }
};

struct State {
  int32_t tables;
  QString order;
  bool sound;
  int32_t w1Top, w1Left, w2Top, w2Left;
  bool operator==(const State&) const = default;
};

State Current() {
  return {numberOfTables, QString::fromStdString(tableOrder), mySound, window1Top, window1Left, window2Top, window2Left};
}

char* ToText(const State& s) {
  return QTest::toString(QString("%1 '%2' %3 w1 %4,%5 w2 %6,%7")
                             .arg(s.tables)
                             .arg(s.order)
                             .arg(s.sound ? "True" : "False")
                             .arg(s.w1Top)
                             .arg(s.w1Left)
                             .arg(s.w2Top)
                             .arg(s.w2Left));
}

const State kStart{0, "", false, 0, 0, 0, 0};
const State kDefaults{20, "Random", true, 683, 0, 40, 0};
const QByteArray kDefaultFile =
    "#NumberOfTables 20\n#Order Random\n#MySound True\n#Window1Position 683,0\n#Window2Position 40,0\n";

// An earlier file that the writer would never write, so that any rewrite
// shows.
const QByteArray kEarlierFile =
    "' kept by hand\r\n#NumberOfTables 42\r\n#order InOrder\r\n#MySound false\r\n#Window1Position 500,60\r\n";
const State kEarlierState{42, "InOrder", false, 500, 60, 0, 0};

// The state that loading the current preferences folder gives in a fresh run.
State LoadedInFreshRun() {
  AppFixture fx(KeepPrefs);
  LoadSettings();
  return Current();
}

}  // namespace

namespace QTest {
template <>
char* toString(const State& s) {
  return ToText(s);
}
}  // namespace QTest

class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  // ---- Loading

  void loads_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<State>("expected");

    QTest::newRow("no file: the defaults") << false << QByteArray() << kDefaults;
    QTest::newRow("the file a quit without changes writes") << true << kDefaultFile << kDefaults;
    QTest::newRow("empty file: start values") << true << QByteArray() << kStart;
    QTest::newRow("first line empty: start values")
        << true << QByteArray("\n#NumberOfTables 5\n#MySound True\n") << kStart;
    QTest::newRow("lacks keys: they keep their start values")
        << true << QByteArray("#NumberOfTables 12\n#Window2Position 100,7\n") << State{12, "", false, 0, 0, 100, 7};
    QTest::newRow("keys in any case")
        << true
        << QByteArray("#numberoftables 7\n#MYSOUND True\n#oRDER InOrder\n#WINDOW1POSITION 10,20\n"
                      "#window2position 30,40\n")
        << State{7, "InOrder", true, 10, 20, 30, 40};
    QTest::newRow("MySound true") << true << QByteArray("#MySound true\n") << State{0, "", true, 0, 0, 0, 0};
    QTest::newRow("MySound TRUE") << true << QByteArray("#MySound TRUE\n") << State{0, "", true, 0, 0, 0, 0};
    QTest::newRow("MySound yes") << true << QByteArray("#MySound yes\n") << kStart;
    QTest::newRow("MySound 1") << true << QByteArray("#MySound 1\n") << kStart;
    QTest::newRow("MySound empty") << true << QByteArray("#MySound \n") << kStart;
    QTest::newRow("MySound with a blank after it") << true << QByteArray("#MySound True \n") << kStart;
    QTest::newRow("Order random kept as it stands")
        << true << QByteArray("#Order random\n") << State{0, "random", false, 0, 0, 0, 0};
    QTest::newRow("Order not trimmed")
        << true << QByteArray("#Order  Random \n") << State{0, " Random ", false, 0, 0, 0, 0};
    QTest::newRow("Order any other text")
        << true << QByteArray("#Order Shuffled\n") << State{0, "Shuffled", false, 0, 0, 0, 0};
    QTest::newRow("later line wins")
        << true << QByteArray("#NumberOfTables 5\n#MySound True\n#numberoftables 9\n#MySound no\n")
        << State{9, "", false, 0, 0, 0, 0};
    QTest::newRow("150 tables stored as they are")
        << true << QByteArray("#NumberOfTables 150\n") << State{150, "", false, 0, 0, 0, 0};
    QTest::newRow("three position fields: the first two")
        << true << QByteArray("#Window1Position 100,200,300\n#Window2Position 5,6,7,8\n")
        << State{0, "", false, 100, 200, 5, 6};
    QTest::newRow("one position field: left 0")
        << true << QByteArray("#Window1Position 100\n") << State{0, "", false, 100, 0, 0, 0};
    QTest::newRow("blank after the comma skipped by the conversion")
        << true << QByteArray("#Window1Position 300, 150\n") << State{0, "", false, 300, 150, 0, 0};
    QTest::newRow("negative positions")
        << true << QByteArray("#Window1Position -20,-1366\n") << State{0, "", false, -20, -1366, 0, 0};
    QTest::newRow("top of 0 stored as 0")
        << true << QByteArray("#Window1Position 0,300\n#Window2Position 0,500\n")
        << State{0, "", false, 0, 300, 0, 500};
    QTest::newRow("positions beyond 32 bits clamped")
        << true << QByteArray("#Window1Position 99999999999,-99999999999\n")
        << State{0, "", false, 2147483647, -2147483647 - 1, 0, 0};
    QTest::newRow("unknown keys, keys without a value, an empty key")
        << true << QByteArray("#Colour blue\n#NumberOfTables\n# 7\n#MySound True\n")
        << State{0, "", true, 0, 0, 0, 0};
    QTest::newRow("keys after the end of the settings ignored")
        << true << QByteArray("#NumberOfTables 8\nend\n#NumberOfTables 9\n") << State{8, "", false, 0, 0, 0, 0};

    {
      QFile found(qEnvironmentVariable("SERVALO_TEST_DATA") + "/settings/fuzz-exponent-overflow.bin");
      QVERIFY(found.open(QIODevice::ReadOnly));
      QTest::newRow("fuzz: exponent beyond any integer")
          << true << found.readAll() << State{0, "", false, 12, 2147483647, 0, 0};
    }

    const QByteArray lines[] = {"#NumberOfTables 33", "' a note", "#Order random", "#MySound True",
                                "#Window1Position 11,22", "#Window2Position 44,55"};
    const State full{33, "random", true, 11, 22, 44, 55};
    for (const auto& [name, end, bom] : {std::tuple{"LF", "\n", false}, std::tuple{"CR LF", "\r\n", false},
                                          std::tuple{"CR", "\r", false}, std::tuple{"BOM and LF", "\n", true},
                                          std::tuple{"BOM and CR LF", "\r\n", true}}) {
      QByteArray file = bom ? "\xEF\xBB\xBF" : "";
      for (const QByteArray& line : lines) file += line + end;
      QTest::newRow(name) << true << file << full;
    }
  }

  void loads() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, file);
    QFETCH(State, expected);
    PrefsFolder prefs;
    if (exists) prefs.Write(file);
    AppFixture fx(KeepPrefs);
    QCOMPARE(Current(), kStart);
    LoadSettings();
    QCOMPARE(Current(), expected);
    QVERIFY(fx.dialogs.messages.empty());
  }

  // A value becomes the number with which it begins, within 32 bits.
  void convertsNumbers_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int32_t>("expected");
    QTest::newRow("whole number") << QByteArray("12") << 12;
    QTest::newRow("leading blanks") << QByteArray("   12") << 12;
    QTest::newRow("leading tab") << QByteArray("\t12") << 12;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("minus sign") << QByteArray("-3") << -3;
    QTest::newRow("fraction dropped") << QByteArray("1.9") << 1;
    QTest::newRow("negative fraction towards zero") << QByteArray("-1.9") << -1;
    QTest::newRow("point first") << QByteArray(".5") << 0;
    QTest::newRow("point last") << QByteArray("5.") << 5;
    QTest::newRow("exponent") << QByteArray("2.5e1") << 25;
    QTest::newRow("exponent without digits") << QByteArray("3e") << 3;
    QTest::newRow("text after the number") << QByteArray("12 tables") << 12;
    QTest::newRow("no number") << QByteArray("twelve") << 0;
    QTest::newRow("empty") << QByteArray("") << 0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 0;
    QTest::newRow("two signs") << QByteArray("+-4") << 0;
    QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("just below the largest plus one") << QByteArray("2147483647.9") << 2147483647;
    QTest::newRow("beyond the largest") << QByteArray("3000000000") << 2147483647;
    QTest::newRow("smallest") << QByteArray("-2147483648") << -2147483647 - 1;
    QTest::newRow("beyond the smallest") << QByteArray("-3000000000") << -2147483647 - 1;
    QTest::newRow("beyond a double") << QByteArray("1e400") << 2147483647;
    QTest::newRow("beyond a double, negative") << QByteArray("-1e400") << -2147483647 - 1;
    QTest::newRow("below a double") << QByteArray("1e-400") << 0;
    QTest::newRow("exponent beyond any integer") << QByteArray("1e99999999999999999999999") << 2147483647;
    QTest::newRow("negative exponent beyond any integer")
        << QByteArray("0.01e-99999999999999999999999") << 0;
    QTest::newRow("many digits") << "1" + QByteArray(400, '0') << 2147483647;
    QTest::newRow("nan and inf are no numbers") << QByteArray("inf") << 0;
  }

  void convertsNumbers() {
    QFETCH(QByteArray, value);
    QFETCH(int32_t, expected);
    PrefsFolder prefs;
    prefs.Write("#NumberOfTables " + value + "\n#Window1Position " + value + "," + value + "\n");
    AppFixture fx(KeepPrefs);
    LoadSettings();
    QCOMPARE(numberOfTables, expected);
    QCOMPARE(window1Top, expected);
    QCOMPARE(window1Left, expected);
  }

  // ---- Saving, through the one quit path

  void writesBack_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("first run, quit without changes") << false << QByteArray() << kDefaultFile;
    QTest::newRow("empty file")
        << true << QByteArray()
        << QByteArray("#NumberOfTables 0\n#Order InOrder\n#MySound False\n#Window1Position 683,0\n"
                      "#Window2Position 40,0\n");
    QTest::newRow("unusual but valid file")
        << true
        << QByteArray("\xEF\xBB\xBF' by hand\r\n#numberoftables 150\r\n#ORDER random\r\n#mysound TRUE\r\n"
                      "#Window1Position 300,150,9\r\n#Window2Position 70,30\r\n#NumberOfTables 7\r\n")
        << QByteArray("#NumberOfTables 7\n#Order Random\n#MySound True\n#Window1Position 300,150\n"
                      "#Window2Position 70,30\n");
    QTest::newRow("other Order and MySound values")
        << true << QByteArray("#NumberOfTables 5\n#Order Shuffled\n#MySound yes\n")
        << QByteArray("#NumberOfTables 5\n#Order InOrder\n#MySound False\n#Window1Position 683,0\n"
                      "#Window2Position 40,0\n");
    // The window system cannot hold these places; with nothing moved, they
    // come back as they were.
    for (const QByteArray& file :
         {QByteArray("#NumberOfTables 3\n#Order InOrder\n#MySound False\n#Window1Position 40000,50000\n"
                     "#Window2Position -40000,-50000\n"),
          QByteArray("#NumberOfTables 3\n#Order Random\n#MySound True\n#Window1Position 2147483647,-2147483648\n"
                     "#Window2Position -2147483648,2147483647\n")})
      QTest::addRow("places beyond the window system: %s", file.split('\n')[3].constData()) << true << file << file;
    QTest::newRow("windows at top 0 go to their default places")
        << true << QByteArray("#NumberOfTables 3\n#Window1Position 0,300\n#Window2Position 0,500\n")
        << QByteArray("#NumberOfTables 3\n#Order InOrder\n#MySound False\n#Window1Position 683,0\n"
                      "#Window2Position 40,0\n");
  }

  void writesBack() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, written);
    PrefsFolder prefs;
    if (exists) prefs.Write(file);
    AppFixture fx(KeepPrefs);
    fx.app.Event_Open();
    QVERIFY(RuntimeFindOpenWindow(typeid(Window2)) == nullptr);
    Window1Instance().Close();
    QCOMPARE(prefs.Read(), written);
    QCOMPARE(prefs.Names(), QStringList{"servalo.txt"});
    QVERIFY(fx.dialogs.messages.empty());
    QCOMPARE(fx.dialogs.beeps, 0);
  }

  // What the operator changes during a run reaches the file at quit, and
  // the next run starts with it.
  void changesSurviveToTheNextRun() {
    PrefsFolder prefs;
    {
      AppFixture fx(KeepPrefs);
      fx.app.Event_Open();
      Window1& panel = Window1Instance();
      panel.UpDownArrows1_Up(panel.UpDownArrows1());
      panel.UpDownArrows1_Up(panel.UpDownArrows1());
      QVERIFY(panel.OrderInOrder_Action());
      panel.SoundCheckBox().Value(false);
      panel.SoundCheckBox_Action(panel.SoundCheckBox());
      panel.Top(400);
      panel.Left(250);
      Window2Instance().Top(0);
      Window2Instance().Left(90);
      Window1Instance().Close();
    }
    QCOMPARE(prefs.Read(), QByteArray("#NumberOfTables 22\n#Order InOrder\n#MySound False\n"
                                      "#Window1Position 400,250\n#Window2Position 0,90\n"));
    AppFixture fx(KeepPrefs);
    fx.app.Event_Open();
    QCOMPARE(Current(), (State{22, "InOrder", false, 400, 250, 0, 90}));
    QCOMPARE(Window1Instance().Top(), 400);
    QCOMPARE(Window1Instance().Left(), 250);
    QCOMPARE(Window1Instance().TextField1().Text(), std::string("22"));
    QCOMPARE(Window2Instance().Top(), 40);
    QCOMPARE(Window2Instance().Left(), 0);
  }

  // A window moved by the window system (a drag, the window manager) is
  // saved where it stands, also when it was given a place the window
  // system cannot hold.
  void movedWindowsSaveWhereTheyStand() {
    PrefsFolder prefs;
    prefs.Write("#NumberOfTables 3\n#Order InOrder\n#MySound False\n#Window1Position 40000,50000\n"
                "#Window2Position -40000,-50000\n");
    AppFixture fx(KeepPrefs);
    fx.app.Event_Open();
    Window1& panel = Window1Instance();
    Window2& announcement = Window2Instance();
    const int menuHeight = panel.Content()->mapTo(panel.Native(), QPoint(0, 0)).y();
    panel.Native()->windowHandle()->setPosition(120, 200);
    announcement.Native()->windowHandle()->setPosition(5, 60);
    QTRY_COMPARE(panel.Native()->geometry().topLeft(), QPoint(120, 200));
    QTRY_COMPARE(announcement.Native()->geometry().topLeft(), QPoint(5, 60));
    panel.Close();
    QCOMPARE(prefs.Read(), QByteArray("#NumberOfTables 3\n#Order InOrder\n#MySound False\n#Window1Position ") +
                               QByteArray::number(200 + menuHeight) + ",120\n#Window2Position 60,5\n");
  }

  // The new file takes over the earlier one's mode and group, and at no
  // step is any file in the folder open to anyone the earlier one was
  // closed to; a group the process may not give it leaves its own group,
  // without that group's bits. A first file has the mode of any new file.
  void keepsModeAndGroup_data() {
    QTest::addColumn<bool>("earlier");
    QTest::addColumn<uint>("mode");
    QTest::addColumn<uint>("group");
    QTest::addColumn<uint>("umask");
    QTest::addColumn<uint>("keptMode");
    QTest::addColumn<uint>("keptGroup");
    const uint own = MemoryFileSystem::kOwnGroup, other = 2000, foreign = 3000;
    QTest::newRow("first file, umask 022") << false << 0u << 0u << 022u << 0644u << own;
    QTest::newRow("first file, umask 077") << false << 0u << 0u << 077u << 0600u << own;
    QTest::newRow("600") << true << 0600u << own << 022u << 0600u << own;
    QTest::newRow("640, another group of the process") << true << 0640u << other << 077u << 0640u << other;
    QTest::newRow("664, another group of the process") << true << 0664u << other << 022u << 0664u << other;
    QTest::newRow("2640, set-group-id") << true << 02640u << other << 022u << 02640u << other;
    QTest::newRow("400, read-only") << true << 0400u << own << 022u << 0400u << own;
    QTest::newRow("664, a group the process is not in") << true << 0664u << foreign << 022u << 0604u << own;
  }

  void keepsModeAndGroup() {
    QFETCH(bool, earlier);
    QFETCH(uint, mode);
    QFETCH(uint, group);
    QFETCH(uint, umask);
    QFETCH(uint, keptMode);
    QFETCH(uint, keptGroup);
    MemoryFileSystem fs;
    fs.memberOf.insert(2000);
    fs.umask = umask;
    const std::string path = fs.preferences + "/servalo.txt";
    if (earlier) fs.files[path] = MemoryFileSystem::File("#NumberOfTables 9\n", mode, group);
    int steps = 0;
    QString tooOpen;  // the first file seen more open than the earlier one
    fs.afterChange = [&] {
      ++steps;
      if (!earlier || !tooOpen.isEmpty()) return;
      for (const auto& [name, f] : fs.files) {
        const uint allowed = (mode & 07707) | (f.group == group ? mode & 070 : 0);
        if (f.mode & ~allowed)
          tooOpen = QString("%1 at mode %2 in group %3 after step %4")
                        .arg(QString::fromStdString(name))
                        .arg(f.mode, 0, 8)
                        .arg(f.group)
                        .arg(steps);
      }
    };
    AppFixture fx(KeepPrefs);
    fx.app.Event_Open();
    Window1Instance().Close();
    QVERIFY(steps > 0);
    QVERIFY2(tooOpen.isEmpty(), qPrintable(tooOpen));
    QCOMPARE(fs.files.size(), size_t(1));
    const MemoryFileSystem::File& saved = fs.files.at(path);
    QVERIFY(QByteArray::fromStdString(saved.bytes).startsWith(earlier ? "#NumberOfTables 9\n" : "#NumberOfTables 20\n"));
    QCOMPARE(QString::number(saved.mode, 8), QString::number(keptMode, 8));
    QCOMPARE(saved.group, keptGroup);
  }

  // A new account has no preferences folder yet: saving makes it.
  void createsMissingFolder() {
    PrefsFolder prefs("new/account/config");
    QVERIFY(!QDir(prefs.path).exists());
    AppFixture fx(KeepPrefs);
    fx.app.Event_Open();
    {
      // A folder that cannot be made: nothing written, nothing said.
      FaultyFileSystem fs;
      fs.FailAt(FileStep::CreateFolders);
      SaveSettings();
      QCOMPARE(fs.steps, std::vector<FileStep>{FileStep::CreateFolders});
      QVERIFY(!QDir(prefs.path).exists());
    }
    Window1Instance().Close();
    QVERIFY(fx.dialogs.messages.empty());
    QCOMPARE(prefs.Read(), kDefaultFile);
    QCOMPARE(QFile(prefs.path).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());
  }

  // A settings file that is a link to a file elsewhere stays the same
  // link, and the file it leads to keeps its mode.
  void keepsALinkedFileLinked() {
    PrefsFolder prefs;
    QTemporaryDir elsewhere;
    const QString real = elsewhere.filePath("servalo-real.txt");
    {
      QFile f(real);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("#NumberOfTables 9\n");
    }
    QCOMPARE(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    QVERIFY(QFile::link(real, prefs.File()));
    const mode_t formerUmask = ::umask(022);
    {
      AppFixture fx(KeepPrefs);
      fx.app.Event_Open();
      QCOMPARE(numberOfTables, 9);
      Window1Instance().Close();
    }
    ::umask(formerUmask);
    QVERIFY(QFileInfo(prefs.File()).isSymLink());
    QCOMPARE(QFileInfo(prefs.File()).symLinkTarget(), real);
    QFile f(real);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("#NumberOfTables 9\n#Order InOrder\n"));
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(real).constData(), &st), 0);
    QCOMPARE(QString::number(st.st_mode & 07777, 8), QString("640"));
    QCOMPARE(prefs.Names(), QStringList{"servalo.txt"});
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"servalo-real.txt"});
  }

  // ---- Saving under faults

  void failedSaveKeepsEarlierFile_data() {
    QTest::addColumn<bool>("earlier");
    QTest::addColumn<FileStep>("step");
    QTest::addColumn<int>("from");
    const std::tuple<FileStep, int, const char*> faults[] = {
        {FileStep::Create, 1, "creating"},     {FileStep::Write, 1, "writing the first line"},
        {FileStep::Write, 4, "writing the fourth line"}, {FileStep::Sync, 1, "syncing"},
        {FileStep::Close, 1, "closing"},       {FileStep::Rename, 1, "renaming"}};
    for (bool earlier : {true, false})
      for (const auto& [step, from, name] : faults)
        QTest::addRow("%s, %s", earlier ? "earlier file" : "no earlier file", name) << earlier << step << from;
  }

  void failedSaveKeepsEarlierFile() {
    QFETCH(bool, earlier);
    QFETCH(FileStep, step);
    QFETCH(int, from);
    PrefsFolder prefs;
    if (earlier) prefs.Write(kEarlierFile);
    {
      AppFixture fx(KeepPrefs);
      fx.app.Event_Open();
      numberOfTables = 77;
      FaultyFileSystem fs;
      fs.FailAt(step, from);
      SaveSettings();
      QCOMPARE(std::count(fs.steps.begin(), fs.steps.end(), step), qsizetype(from));
      QVERIFY(!fs.steps.empty() && fs.steps.back() != FileStep::SyncFolder);
      QVERIFY(fx.dialogs.messages.empty());
      QCOMPARE(fx.dialogs.beeps, 0);
    }
    if (earlier) {
      QCOMPARE(prefs.Read(), kEarlierFile);
      QCOMPARE(prefs.Names(), QStringList{"servalo.txt"});
      QCOMPARE(LoadedInFreshRun(), kEarlierState);
    } else {
      QCOMPARE(prefs.Names(), QStringList{});
      QCOMPARE(LoadedInFreshRun(), kDefaults);
    }
  }

  // The steps of a good save, in order; once the rename is done the new
  // file stands, even when the folder cannot be synced after it.
  void saveSteps() {
    PrefsFolder prefs;
    prefs.Write(kEarlierFile);
    AppFixture fx(KeepPrefs);
    fx.app.Event_Open();
    FaultyFileSystem fs;
    fs.FailAt(FileStep::SyncFolder);
    SaveSettings();
    const std::vector<FileStep> expected{FileStep::Create, FileStep::Group, FileStep::Mode,  FileStep::Write,
                                         FileStep::Write,  FileStep::Write, FileStep::Write, FileStep::Write,
                                         FileStep::Sync,   FileStep::Close, FileStep::Rename, FileStep::SyncFolder};
    QCOMPARE(fs.steps, expected);
    QVERIFY(prefs.Read().startsWith("#NumberOfTables 42\n#Order InOrder\n#MySound False\n#Window1Position 500,60\n"));
    QCOMPARE(prefs.Names(), QStringList{"servalo.txt"});
  }

  // A save cut short by the end of the process between writing and
  // renaming leaves the earlier file, and the file it left behind is never
  // read as settings. The test runs itself a second time as the saving
  // process, which stops before the rename and is killed there.
  void killedWhileSaving() {
    if (qEnvironmentVariableIsSet("SERVALO_SAVING_CHILD")) {
      qputenv("XDG_CONFIG_HOME", qgetenv("SERVALO_SAVING_CHILD_PREFS"));
      AppFixture fx(KeepPrefs);
      fx.app.Event_Open();
      numberOfTables = 77;
      FaultyFileSystem fs;
      fs.beforeStep = [](FileStep step) {
        if (step != FileStep::Rename) return;
        QFile ready(qEnvironmentVariable("SERVALO_SAVING_CHILD"));
        if (!ready.open(QIODevice::WriteOnly)) std::_Exit(3);
        ready.close();
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
      };
      SaveSettings();
      std::_Exit(4);  // never reached: the parent kills this process first
    }

    PrefsFolder prefs;
    prefs.Write(kEarlierFile);
    QTemporaryDir work;
    const QString ready = work.filePath("ready");
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SERVALO_SAVING_CHILD", ready);
    env.insert("SERVALO_SAVING_CHILD_PREFS", prefs.path);
    env.insert("TMPDIR", work.path());  // what the child leaves goes with this test
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"killedWhileSaving"});
    QVERIFY(child.waitForStarted(60000));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ready) || child.state() == QProcess::NotRunning, 120000);
    QVERIFY2(QFile::exists(ready), "the saving process ended before the rename");

    // The new file is complete beside the earlier one.
    QStringList names = prefs.Names();
    QCOMPARE(names.size(), 2);
    names.removeAll("servalo.txt");
    QCOMPARE(names.size(), 1);
    QFile left(prefs.path + "/" + names.first());
    QVERIFY(left.open(QIODevice::ReadOnly));
    QVERIFY(left.readAll().startsWith("#NumberOfTables 77\n"));
    left.close();

    child.kill();
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    QCOMPARE(prefs.Read(), kEarlierFile);
    QCOMPARE(LoadedInFreshRun(), kEarlierState);

    // The next save is not disturbed by what was left behind, and leaves
    // it while it is fresh: it might be a running copy's save.
    const auto saveInFreshRun = [] {
      AppFixture fx(KeepPrefs);
      fx.app.Event_Open();
      Window1Instance().Close();
    };
    saveInFreshRun();
    QVERIFY(prefs.Read().startsWith("#NumberOfTables 42\n#Order InOrder\n"));
    QCOMPARE(prefs.Names(), (QStringList{names.first(), "servalo.txt"}));

    // Once it has stood for minutes, the next save removes it.
    const timespec then{std::time(nullptr) - 600, 0};
    const timespec times[2] = {then, then};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(left.fileName()).constData(), times, 0), 0);
    saveInFreshRun();
    QCOMPARE(prefs.Names(), QStringList{"servalo.txt"});
  }
};

SERVALO_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
