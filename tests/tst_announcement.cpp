// The announcement window: what its banners show, pixel by pixel, and where
// it opens.
#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "AppFixture.h"
#include "TestMain.h"
#include "calling/Window2.h"
#include "platform/testing/Grab.h"

namespace {

// The box of the dark pixels of a banner (the text drawn on white), leaving
// out the rectangle's black edge at either end.
QRect Ink(const QImage& image) {
  int left = image.width(), right = -1, top = image.height(), bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 1; x < image.width() - 1; ++x)
      if (qGray(row[x]) < 128) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The face the banners ask for: Helvetica, bold, one point a pixel.
QFont BannerFont(int pixels) {
  QFont f = QApplication::font();
  f.setFamily("Helvetica");
  f.setPixelSize(pixels);
  f.setBold(true);
  f.setItalic(false);
  return f;
}

// The same text drawn straight with the toolkit on a white banner, as the
// reference for the picture the window shows.
QImage Reference(const QString& text, int pixels, int x, int baseline, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setFont(BannerFont(pixels));
  p.setPen(Qt::black);
  p.drawText(QPoint(x, baseline), text);
  return image;
}

// How many pixels of two banners differ clearly, edges left out.
int Differences(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 1; x < a.width() - 1; ++x)
      if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 64) ++n;
  return n;
}

}  // namespace

class AnnouncementTest : public QObject {
  Q_OBJECT

 private slots:
  void helveticaIsAHelveticaMetricFace() {
    // Debian's fonts-urw-base35 provides it; without it the banners fall
    // back to some other sans face with other widths.
    const QFontInfo info(BannerFont(120));
    QVERIFY2(info.family().startsWith("Nimbus Sans"), qPrintable(info.family()));
    QVERIFY(info.bold());
    QCOMPARE(info.pixelSize(), 120);
  }

  void upperBannerShowsTheTable_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("x");
    QTest::newRow("0 before any table") << 0 << 437;
    QTest::newRow("1") << 1 << 437;
    QTest::newRow("9") << 9 << 437;
    QTest::newRow("10") << 10 << 408;
    QTest::newRow("99") << 99 << 408;
    QTest::newRow("150 from a settings file") << 150 << 408;
  }
  void upperBannerShowsTheTable() {
    QFETCH(int, table);
    QFETCH(int, x);
    AppFixture fx;
    currentTable = table;
    Window2& w = Window2Instance();
    const QImage shown = GrabControl(w.Banner1());
    QCOMPARE(shown.size(), QSize(1366, 153));

    const QString text = QString("TABLE %1").arg(table);
    const QRect ink = Ink(shown);
    QVERIFY(!ink.isNull());
    // The text begins at x (T has almost no side bearing) and stands on
    // the baseline at 150; round digits dip a pixel or two below it.
    QVERIFY2(ink.left() >= x && ink.left() <= x + 12, qPrintable(QString("ink starts at %1").arg(ink.left())));
    QVERIFY2(ink.bottom() >= 146 && ink.bottom() <= 152, qPrintable(QString("ink ends at row %1").arg(ink.bottom())));
    const int advance = QFontMetrics(BannerFont(120)).horizontalAdvance(text);
    QVERIFY2(ink.right() <= x + advance && ink.right() >= x + advance - 30,
             qPrintable(QString("ink ends at %1, the text at %2").arg(ink.right()).arg(x + advance)));
    // The whole text fits the 153 rows: drawn on a taller surface it
    // reaches no lower and no higher.
    const QRect unclipped = Ink(Reference(text, 120, x, 150, QSize(1366, 300)));
    QVERIFY2(unclipped.bottom() <= 152 && unclipped.top() > 0,
             qPrintable(QString("the text spans rows %1 to %2").arg(unclipped.top()).arg(unclipped.bottom())));
    // And it is this very text, no colon, nothing else.
    const QImage expected = Reference(text, 120, x, 150, shown.size());
    QVERIFY2(Differences(shown, expected) < 40, qPrintable(QString("%1 pixels differ").arg(Differences(shown, expected))));
  }

  void upperBannerDrawsTheTableAtPaintTime() {
    AppFixture fx;
    currentTable = 4;
    Window2& w = Window2Instance();
    currentTable = 12;
    const QImage shown = GrabControl(w.Banner1());
    QCOMPARE(Ink(shown).left() < 437, true);
    QVERIFY(Differences(shown, Reference("TABLE 12", 120, 408, 150, shown.size())) < 40);
  }

  void lowerBannerAsksToLineUp() {
    AppFixture fx;
    Window2& w = Window2Instance();
    const QImage shown = GrabControl(w.Banner2());
    const QRect ink = Ink(shown);
    QVERIFY(ink.left() >= 314 && ink.left() <= 326);
    // Descenders (p, y) go below the baseline at 100, but stay inside.
    QVERIFY(ink.top() > 20 && ink.bottom() < 153);
    QVERIFY(Differences(shown, Reference("Please line up now.", 80, 314, 100, shown.size())) < 40);
  }

  void bannersLieInTheWhiteRectangle() {
    AppFixture fx;
    Window2& w = Window2Instance();
    QCOMPARE(w.Banner1().Top(), 79);
    QCOMPARE(w.Banner2().Top(), 357);
    QCOMPARE(w.Banner1().NativeWidget()->parentWidget(), w.Rectangle1().NativeWidget());
    QCOMPARE(w.Banner2().NativeWidget()->parentWidget(), w.Rectangle1().NativeWidget());
    // Between and around the banners the window is white, edged in black.
    const QImage whole = GrabControl(w.Rectangle1());
    QCOMPARE(QColor(whole.pixel(0, 0)), QColor(Qt::black));
    QCOMPARE(QColor(whole.pixel(600, 300)), QColor(Qt::white));
    QCOMPARE(QColor(whole.pixel(5, 100)), QColor(Qt::white));
  }

  void placement_data() {
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("expectedTop");
    QTest::addColumn<int>("expectedLeft");
    QTest::newRow("top 0: default place") << 0 << 0 << 40 << 0;
    QTest::newRow("top 0 drops the left") << 0 << 500 << 40 << 0;
    QTest::newRow("stored place") << 120 << 30 << 120 << 30;
    QTest::newRow("negative kept") << -50 << -20 << -50 << -20;
    QTest::newRow("off the screen kept") << 2000 << 3000 << 2000 << 3000;
  }
  void placement() {
    QFETCH(int, top);
    QFETCH(int, left);
    QFETCH(int, expectedTop);
    QFETCH(int, expectedLeft);
    AppFixture fx;
    window2Top = top;
    window2Left = left;
    Window2& w = Window2Instance();
    QCOMPARE(w.Top(), expectedTop);
    QCOMPARE(w.Left(), expectedLeft);
    QCOMPARE(w.Width(), 1366);
    QCOMPARE(w.Height(), 620);
    QVERIFY(w.IsShown());
    QCOMPARE(w.Title(), std::string());
    // The accessor finds the open window and builds no second one.
    QCOMPARE(&Window2Instance(), &w);
    QCOMPARE(window2Top, top);
  }
};

SERVALO_TEST_MAIN(AnnouncementTest)
#include "tst_announcement.moc"
