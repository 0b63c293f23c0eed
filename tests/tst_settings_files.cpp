// The platform's file items and text streams beneath the settings file:
// naming children, and what an unfinished or failed write leaves behind.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <ctime>

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
