// The settings file reader: which lines become entries, and what a file
// that cannot be read gives.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "TestMain.h"
#include "platform/Files.h"
#include "settings/Directives.h"

using Entries = std::vector<std::pair<std::string, std::string>>;
Q_DECLARE_METATYPE(Entries)

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD

Entries ReadEntries() {
  Entries out;
  for (int32_t i = 1; i <= directives.Ubound(); ++i) out.emplace_back(directives(i)->name, directives(i)->text);
  return out;
}

QByteArray Bytes(const char* s, size_t n) { return QByteArray(s, qsizetype(n)); }

// A file from tests/data/settings.
QByteArray DataFile(const char* name) {
  QFile f(qEnvironmentVariable("SERVALO_TEST_DATA") + "/settings/" + name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing test data>");
}

// A comment line of exactly `size` bytes, its "\n" included.
QByteArray CommentOf(size_t size) { return "'" + QByteArray(qsizetype(size - 2), 'x') + "\n"; }

}  // namespace

class SettingsReaderTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { InitDirectives(); }
  void cleanup() { ReleaseDirectives(); }

  void readsLines_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Entries>("expected");

    QTest::newRow("empty file") << QByteArray() << Entries{};
    QTest::newRow("first line empty") << QByteArray("\n#Order Random\n#MySound True\n") << Entries{};
    QTest::newRow("no blank: passed over, reading goes on")
        << QByteArray("#Order\n#MySound True\n") << Entries{{"mysound", "True"}};
    QTest::newRow("lone hash passed over") << QByteArray("#\n#A 1\n") << Entries{{"a", "1"}};
    QTest::newRow("keys in lower case")
        << QByteArray("#ORDER Random\n#Order InOrder\n#wINDOW1pOSITION 1,2\n")
        << Entries{{"order", "Random"}, {"order", "InOrder"}, {"window1position", "1,2"}};
    QTest::newRow("non-ASCII key in lower case") << QByteArray("#\xC3\x84RGER x\n") << Entries{{"\xC3\xA4rger", "x"}};
    QTest::newRow("second blank begins the value, last blank stays")
        << QByteArray("#Order  Random \n") << Entries{{"order", " Random "}};
    QTest::newRow("empty key") << QByteArray("# some words\n") << Entries{{"", "some words"}};
    QTest::newRow("hash and blank") << QByteArray("# \n") << Entries{{"", ""}};
    QTest::newRow("empty value") << QByteArray("#Order \n") << Entries{{"order", ""}};
    QTest::newRow("comment between directives")
        << QByteArray("#A 1\n' a note\n#B 2\n") << Entries{{"a", "1"}, {"b", "2"}};
    QTest::newRow("bare quote is a comment") << QByteArray("'\n#A 1\n") << Entries{{"a", "1"}};
    QTest::newRow("leading blank ends the settings")
        << QByteArray("#A 1\n #B 2\n#C 3\n") << Entries{{"a", "1"}};
    QTest::newRow("leading tab ends the settings")
        << QByteArray("#A 1\n\t#B 2\n#C 3\n") << Entries{{"a", "1"}};
    QTest::newRow("any other first character ends the settings")
        << QByteArray("#A 1\nNumberOfTables 5\n#C 3\n") << Entries{{"a", "1"}};
    QTest::newRow("tab does not separate") << QByteArray("#Order\tRandom\n#A 1\n") << Entries{{"a", "1"}};
    QTest::newRow("tab in the value stays") << QByteArray("#A 1\t2 3\n") << Entries{{"a", "1\t2 3"}};
    QTest::newRow("key twice: both, in file order")
        << QByteArray("#A 1\n#a 2\n") << Entries{{"a", "1"}, {"a", "2"}};
    QTest::newRow("blank after the comma stays")
        << QByteArray("#Window1Position 300, 150\n") << Entries{{"window1position", "300, 150"}};
    QTest::newRow("the five lines as written")
        << QByteArray("#NumberOfTables 20\n#Order Random\n#MySound True\n#Window1Position 683,0\n"
                      "#Window2Position 40,0\n")
        << Entries{{"numberoftables", "20"},
                   {"order", "Random"},
                   {"mysound", "True"},
                   {"window1position", "683,0"},
                   {"window2position", "40,0"}};
    QTest::newRow("no delimiter after the last line")
        << QByteArray("#A 1\n#B 2") << Entries{{"a", "1"}, {"b", "2"}};

    // Line ends and the byte-order mark.
    QTest::newRow("CR LF") << QByteArray("#A 1\r\n#B 2\r\n") << Entries{{"a", "1"}, {"b", "2"}};
    QTest::newRow("CR") << QByteArray("#A 1\r#B 2\r") << Entries{{"a", "1"}, {"b", "2"}};
    QTest::newRow("mixed line ends")
        << QByteArray("#A 1\r\n#B 2\r#C 3\n#D 4") << Entries{{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}};
    QTest::newRow("empty CR LF line ends the settings")
        << QByteArray("#A 1\r\n\r\n#B 2\r\n") << Entries{{"a", "1"}};
    QTest::newRow("LF then CR is two line ends") << QByteArray("#A 1\n\r#B 2\n") << Entries{{"a", "1"}};
    QTest::newRow("byte-order mark skipped")
        << QByteArray("\xEF\xBB\xBF#A 1\r\n#B 2\r\n") << Entries{{"a", "1"}, {"b", "2"}};
    QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF") << Entries{};
    QTest::newRow("byte-order mark on a later line ends the settings")
        << QByteArray("#A 1\n\xEF\xBB\xBF#B 2\n") << Entries{{"a", "1"}};

    // Bytes that are not valid UTF-8 read as U+FFFD, one per byte.
    QTest::newRow("invalid bytes in the value")
        << QByteArray("#A \xFF\xFE x\n#B 2\n") << Entries{{"a", kReplacement + kReplacement + " x"}, {"b", "2"}};
    QTest::newRow("invalid byte in the key") << QByteArray("#\xC3 1\n") << Entries{{kReplacement, "1"}};
    QTest::newRow("sequence cut by the line end")
        << QByteArray("#A \xE2\x82\n#B 2\n") << Entries{{"a", kReplacement + kReplacement}, {"b", "2"}};
    QTest::newRow("overlong encoding") << QByteArray("#A \xC0\xAF\n") << Entries{{"a", kReplacement + kReplacement}};
    QTest::newRow("encoded surrogate")
        << QByteArray("#A \xED\xA0\x80\n") << Entries{{"a", kReplacement + kReplacement + kReplacement}};
    QTest::newRow("invalid first byte ends the settings") << QByteArray("\xFF#A 1\n") << Entries{};
    QTest::newRow("NUL in the value") << Bytes("#A 1\0002\n", 7) << Entries{{"a", std::string("1\0" "2", 3)}};

    // Found by fuzzing: CR line ends, NUL and invalid bytes, and a number
    // whose exponent is beyond any integer.
    QTest::newRow("fuzz: exponent beyond any integer")
        << DataFile("fuzz-exponent-overflow.bin")
        << Entries{{"window1position", " 12 , 5.7E" + std::string(55, '1') + "-"},
                   {"myow2posi,1" + kReplacement + kReplacement + "\"und", ""}};

    // Only the first MiB is read, and never half a line.
    const size_t limit = TextInputStream::kMostBytes;
    QTest::newRow("line ending at the limit is read")
        << CommentOf(limit - 5) + "#A 1\n#B 2\n" << Entries{{"a", "1"}};
    QTest::newRow("line crossing the limit is not read")
        << CommentOf(limit - 3) + "#A 12345\n" << Entries{};
    QTest::newRow("file of exactly the limit, last line without delimiter")
        << CommentOf(limit - 4) + "#A 1" << Entries{{"a", "1"}};
    QTest::newRow("one line longer than the limit")
        << "#A " + QByteArray(qsizetype(2 * limit), '7') << Entries{};
  }

  void readsLines() {
    QFETCH(QByteArray, file);
    QFETCH(Entries, expected);
    QTemporaryDir dir;
    QFile out(dir.filePath("servalo.txt"));
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(file), file.size());
    out.close();

    FolderItem item(dir.filePath("servalo.txt").toStdString());
    QVERIFY(ReadDirectives(&item));
    QVERIFY(directives(0) == nullptr);
    QCOMPARE(ReadEntries(), expected);
  }

  // Whatever cannot be opened gives False and no entry, at once.
  void cannotOpen_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("no item") << "null";
    QTest::newRow("no such file") << "missing";
    QTest::newRow("a folder of that name") << "folder";
    QTest::newRow("a pipe of that name") << "fifo";
    QTest::newRow("a link that leads nowhere") << "dangling";
    QTest::newRow("a file without read permission") << "unreadable";
  }

  void cannotOpen() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const std::string path = dir.filePath("servalo.txt").toStdString();
    if (kind == "folder") QVERIFY(QDir(dir.path()).mkdir("servalo.txt"));
    if (kind == "fifo") QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
    if (kind == "dangling") QVERIFY(QFile::link(dir.filePath("elsewhere.txt"), dir.filePath("servalo.txt")));
    if (kind == "unreadable") {
      if (::geteuid() == 0) QSKIP("permissions do not hold for root");
      QFile f(dir.filePath("servalo.txt"));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("#NumberOfTables 5\n");
      f.close();
      QVERIFY(f.setPermissions(QFileDevice::WriteOwner));
    }

    FolderItem item(path);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!ReadDirectives(kind == "null" ? nullptr : &item));
    QCOMPARE(directives.Ubound(), 0);
    // A pipe with no writer must not hold up the start.
    QVERIFY(clock.elapsed() < 30000);
  }

  // The list: one empty element from start-up, entries appended after it,
  // nothing left once released.
  void listLifecycle() {
    QCOMPARE(directives.Ubound(), 0);
    QVERIFY(directives(0) == nullptr);
    QTemporaryDir dir;
    QFile out(dir.filePath("a.txt"));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("#A 1\n");
    out.close();
    FolderItem item(dir.filePath("a.txt").toStdString());
    QVERIFY(ReadDirectives(&item));
    QVERIFY(ReadDirectives(&item));
    QCOMPARE(ReadEntries(), (Entries{{"a", "1"}, {"a", "1"}}));
    ReleaseDirectives();
    QCOMPARE(directives.Ubound(), -1);
    InitDirectives();
    QCOMPARE(directives.Ubound(), 0);
  }
};

SERVALO_TEST_MAIN(SettingsReaderTest)
#include "tst_settings_reader.moc"
