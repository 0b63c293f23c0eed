// The platform's file items and text streams beneath the settings file:
// naming children, and what an unfinished or failed write leaves behind.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

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
