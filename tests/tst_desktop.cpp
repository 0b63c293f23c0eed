// The program on the desktop: the window system it asks the toolkit for,
// and the application's icon that its windows carry. The windows of the
// real program, under an X server, are checked in e2e/e2e_desktop.sh.
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTest>

#include <algorithm>

#include "TestMain.h"
#include "platform/Application.h"

namespace {

std::vector<std::string> ToStd(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list) out.push_back(s.toStdString());
  return out;
}

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT

 private slots:
  // What the toolkit is started with, for each way a user can choose (or
  // not) a window system; a null environment value is an unset variable.
  void toolkitArguments_data() {
    QTest::addColumn<QByteArray>("env");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("expected");
    const QStringList asked = {"servalo", "-platform", "xcb"};
    QTest::newRow("no choice") << QByteArray() << QStringList{"servalo"} << asked;
    QTest::newRow("no choice, other arguments kept")
        << QByteArray() << QStringList{"servalo", "-style", "fusion"}
        << QStringList{"servalo", "-platform", "xcb", "-style", "fusion"};
    QTest::newRow("empty variable: no choice") << QByteArray("") << QStringList{"servalo"} << asked;
    QTest::newRow("variable: wayland") << QByteArray("wayland") << QStringList{"servalo"} << QStringList{"servalo"};
    QTest::newRow("variable: offscreen with options")
        << QByteArray("offscreen:configfile=x.json") << QStringList{"servalo"} << QStringList{"servalo"};
    QTest::newRow("argument -platform") << QByteArray() << QStringList{"servalo", "-platform", "wayland"}
                                        << QStringList{"servalo", "-platform", "wayland"};
    QTest::newRow("argument --platform") << QByteArray() << QStringList{"servalo", "--platform", "vnc"}
                                         << QStringList{"servalo", "--platform", "vnc"};
    QTest::newRow("program name alone is no argument")
        << QByteArray() << QStringList{"-platform"} << QStringList{"-platform", "-platform", "xcb"};
  }
  void toolkitArguments() {
    QFETCH(QByteArray, env);
    QFETCH(QStringList, args);
    QFETCH(QStringList, expected);
    const QByteArray saved = qgetenv("QT_QPA_PLATFORM");
    if (env.isNull())
      qunsetenv("QT_QPA_PLATFORM");
    else
      qputenv("QT_QPA_PLATFORM", env);
    std::vector<QByteArray> bytes;
    for (const QString& a : args) bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    const std::vector<std::string> got = RuntimeToolkitArguments(int(args.size()), argv.data());
    qputenv("QT_QPA_PLATFORM", saved);
    QCOMPARE(got, ToStd(expected));
  }

  // The application's icon at each size it is built in: transparent
  // outside the rounded tile, the tile's blue beside the card. The desktop
  // finds the desktop entry by the name the application gives.
  void applicationIcon() {
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("servalo"));
    const QIcon icon = QApplication::windowIcon();
    QList<QSize> sizes = icon.availableSizes();
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    QCOMPARE(sizes, (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
    for (const QSize& size : sizes) {
      const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
      QCOMPARE(image.size(), size);
      QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
      if (size.width() < 32) continue;
      const QColor tile = image.pixelColor(size.width() * 8 / 100, size.height() / 2);
      QVERIFY2(tile.alpha() == 255 && tile.blue() > tile.red() + 80 && tile.blue() > tile.green() + 40,
               qPrintable(QString("%1 px: %2").arg(size.width()).arg(tile.name(QColor::HexArgb))));
    }
  }
};

SERVALO_TEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
