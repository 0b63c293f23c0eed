// The platform's file items and text streams beneath the settings file:
// naming children, and what an unfinished or failed write leaves behind.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <ctime>
#include <optional>

#include <grp.h>
#include <unistd.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "TestMain.h"
#include "platform/Files.h"
#include "platform/testing/FileFakes.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(bytes), bytes.size());
}

// Sets when the item itself (a link too) was last changed: that many
// seconds ago.
bool SetAge(const QString& path, int seconds) {
  const timespec then{std::time(nullptr) - seconds, 0};
  const timespec times[2] = {then, then};
  return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

uint ModeOf(const QString& path) {
  struct stat st;
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? uint(st.st_mode & 07777) : 0xFFFFFFFFu;
}

// Writes the file anew through a stream, under a umask, with a failure at
// a chosen step when one is given.
bool Save(const QString& path, mode_t umask, std::optional<FileStep> failing = std::nullopt) {
  std::optional<FaultyFileSystem> fs;
  if (failing) fs.emplace().FailAt(*failing);
  const mode_t former = ::umask(umask);
  std::unique_ptr<TextOutputStream> out = FolderItem(path.toStdString()).CreateTextFile();
  const bool saved = out && (out->WriteLine("new"), out->Close());
  ::umask(former);
  return saved;
}

QStringList Names(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class SettingsFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void preferencesFolderFollowsXdgConfigHome() {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    std::unique_ptr<FolderItem> prefs = SpecialFolder.Preferences();
    qputenv("XDG_CONFIG_HOME", saved);
    QVERIFY(prefs);
    QCOMPARE(QString::fromStdString(prefs->NativePath()), dir.path());
  }

  void childNames() {
    FolderItem folder("/some/folder");
    QCOMPARE(folder.Child("servalo.txt")->NativePath(), std::string("/some/folder/servalo.txt"));
    QCOMPARE(FolderItem("/").Child("a")->NativePath(), std::string("/a"));
    for (const char* bad : {"", ".", "..", "a/b", "/etc"}) QVERIFY2(!folder.Child(bad), bad);
    QVERIFY(!folder.Child(std::string("a\0b", 3)));
  }

  void existsAndDelete() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    FolderItem item(path.toStdString());
    QVERIFY(!item.Exists());
    QVERIFY(!item.Delete());
    WriteAll(path, "x\n");
    QVERIFY(item.Exists());
    QVERIFY(item.Delete());
    QVERIFY(!QFile::exists(path));
  }

  // Lines written come back as they were, with "\n" after each.
  void writesLines() {
    QTemporaryDir dir;
    FolderItem item(dir.filePath("a.txt").toStdString());
    {
      std::unique_ptr<TextOutputStream> out = item.CreateTextFile();
      QVERIFY(out);
      out->WriteLine("#A 1");
      out->WriteLine("");
      out->WriteLine("\xC3\xA4 x");
      QVERIFY(out->Close());
      QVERIFY(!out->Close());  // once only
      out->WriteLine("after closing");
    }
    QCOMPARE(ReadAll(dir.filePath("a.txt")), QByteArray("#A 1\n\n\xC3\xA4 x\n"));
    std::unique_ptr<TextInputStream> in = item.OpenAsTextFile();
    QVERIFY(in);
    QCOMPARE(in->ReadLine(), std::string("#A 1"));
    QCOMPARE(in->ReadLine(), std::string(""));
    QVERIFY(!in->EndOfFile());
    QCOMPARE(in->ReadLine(), std::string("\xC3\xA4 x"));
    QVERIFY(in->EndOfFile());
    QCOMPARE(in->ReadLine(), std::string());
    in->Close();
    QVERIFY(in->EndOfFile());
  }

  // A stream given up without Close (an error on the way, say) leaves the
  // earlier file and nothing else.
  void abandonedStreamLeavesEarlierFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    WriteAll(path, "earlier\r\n");
    {
      std::unique_ptr<TextOutputStream> out = FolderItem(path.toStdString()).CreateTextFile();
      QVERIFY(out);
      out->WriteLine("new");
      QCOMPARE(Names(dir.path()).size(), 2);
    }
    QCOMPARE(ReadAll(path), QByteArray("earlier\r\n"));
    QCOMPARE(Names(dir.path()), QStringList{"a.txt"});
  }

  // A save killed before its rename leaves its temporary file behind. The
  // next save of the same file removes those that have stood for minutes;
  // a fresh one (a running copy's save) and anything this program did not
  // make stay.
  void removesStaleTemporaries() {
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    struct Row {
      const char* name;
      int age;  // seconds
      bool removed;
    };
    const Row rows[] = {
        {".a.txt.0123456789abcdef.tmp", 3600, true},
        {".a.txt.fedcba9876543210.tmp", 6 * 60, true},
        {".a.txt.00000000000000ff.tmp", 60, false},       // fresh: a save in progress
        {".a.txt.0000000000000abc.tmp", -3600, false},    // changed after now: the clock went back
        {".b.txt.0123456789abcdef.tmp", 3600, false},     // another file's
        {".a.txt.0123456789ABCDEF.tmp", 3600, false},     // not a name this program makes
        {".a.txt.0123456789abcde.tmp", 3600, false},
        {".a.txt.0123456789abcdefa.tmp", 3600, false},
        {".a.txt.0123456789abcdeg.tmp", 3600, false},
        {"a.txt.0123456789abcdef.tmp", 3600, false},
        {".a.txt.0123456789abcdef.tmp~", 3600, false},
        {".a.txt.0123456789abcdef.txt", 3600, false},
    };
    QStringList kept{"a.txt"};
    for (const Row& r : rows) {
      WriteAll(dir.filePath(r.name), "#NumberOfTables 7\n");
      QVERIFY(SetAge(dir.filePath(r.name), r.age));
      if (!r.removed) kept << r.name;
    }
    // A folder and a link of such a name are not this program's files.
    QVERIFY(QDir(dir.path()).mkdir(".a.txt.1111111111111111.tmp"));
    QVERIFY(SetAge(dir.filePath(".a.txt.1111111111111111.tmp"), 3600));
    WriteAll(elsewhere.filePath("kept"), "x");
    QVERIFY(QFile::link(elsewhere.filePath("kept"), dir.filePath(".a.txt.2222222222222222.tmp")));
    QVERIFY(SetAge(dir.filePath(".a.txt.2222222222222222.tmp"), 3600));
    kept << ".a.txt.1111111111111111.tmp" << ".a.txt.2222222222222222.tmp";
    kept.sort();

    std::unique_ptr<TextOutputStream> out = FolderItem(dir.filePath("a.txt").toStdString()).CreateTextFile();
    QVERIFY(out);
    out->WriteLine("new");
    QVERIFY(out->Close());
    QCOMPARE(Names(dir.path()), kept);
    QCOMPARE(ReadAll(dir.filePath("a.txt")), QByteArray("new\n"));
    QCOMPARE(ReadAll(elsewhere.filePath("kept")), QByteArray("x"));
  }

  // A save keeps the mode of the file it replaces, whatever the umask; a
  // first file gets the mode of any new file. A group the process may not
  // give, or a mode that does not take, still saves, with no more than the
  // owner's bits for anyone but the owner.
  void keepsModeThroughASave_data() {
    QTest::addColumn<int>("earlier");  // -1: none
    QTest::addColumn<uint>("umask");
    QTest::addColumn<int>("failing");  // a FileStep, or -1
    QTest::addColumn<uint>("expected");
    QTest::newRow("first save, umask 022") << -1 << 022u << -1 << 0644u;
    QTest::newRow("first save, umask 077") << -1 << 077u << -1 << 0600u;
    for (const uint mode : {0600u, 0640u, 0664u})
      for (const uint umask : {022u, 077u})
        QTest::addRow("%o, umask %03o", mode, umask) << int(mode) << umask << -1 << mode;
    QTest::newRow("640, group not given") << 0640 << 022u << int(FileStep::Group) << 0600u;
    QTest::newRow("664, mode not set") << 0664 << 022u << int(FileStep::Mode) << 0600u;
  }

  void keepsModeThroughASave() {
    QFETCH(int, earlier);
    QFETCH(uint, umask);
    QFETCH(int, failing);
    QFETCH(uint, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    if (earlier >= 0) {
      WriteAll(path, "earlier\n");
      QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(earlier)), 0);
    }
    QVERIFY(Save(path, umask, failing < 0 ? std::nullopt : std::optional(FileStep(failing))));
    QCOMPARE(ReadAll(path), QByteArray("new\n"));
    QCOMPARE(QString::number(ModeOf(path), 8), QString::number(expected, 8));
    QCOMPARE(Names(dir.path()), QStringList{"a.txt"});
  }

  // The group of the file it replaces is kept where the process may give
  // it: root any group, anyone else a group it belongs to.
  void keepsGroupThroughASave() {
    gid_t other = 0;
    if (::geteuid() == 0) {
      other = ::getegid() == 65534 ? 65533 : 65534;
    } else {
      gid_t groups[256];
      const int count = ::getgroups(256, groups);
      for (int i = 0; i < count && !other; ++i)
        if (groups[i] != ::getegid()) other = groups[i];
      if (!other) QSKIP("the process belongs to no second group");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    WriteAll(path, "earlier\n");
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(::chown(native.constData(), uid_t(-1), other), 0);
    QCOMPARE(::chmod(native.constData(), 0640), 0);
    QVERIFY(Save(path, 022));
    struct stat st;
    QCOMPARE(::stat(native.constData(), &st), 0);
    QCOMPARE(st.st_gid, other);
    QCOMPARE(QString::number(st.st_mode & 07777, 8), QString("640"));
  }

  // After a failed write nothing more is written and Close gives up.
  void failedWriteIsNotCommitted() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    WriteAll(path, "earlier\n");
    FaultyFileSystem fs;
    fs.FailAt(FileStep::Write, 2);
    std::unique_ptr<TextOutputStream> out = FolderItem(path.toStdString()).CreateTextFile();
    QVERIFY(out);
    out->WriteLine("one");
    out->WriteLine("two");
    out->WriteLine("three");
    QVERIFY(!out->Close());
    QCOMPARE(std::count(fs.steps.begin(), fs.steps.end(), FileStep::Write), qsizetype(2));
    QCOMPARE(std::count(fs.steps.begin(), fs.steps.end(), FileStep::Rename), qsizetype(0));
    QCOMPARE(ReadAll(path), QByteArray("earlier\n"));
    QCOMPARE(Names(dir.path()), QStringList{"a.txt"});
  }
};

SERVALO_TEST_MAIN(SettingsFilesTest)
#include "tst_settings_files.moc"
