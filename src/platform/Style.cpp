#include "platform/internal/Style.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleOption>

namespace {

// The menu bar's extension button: two small chevrons, as in the desktop
// style's own picture.
QPixmap ExtensionChevrons(int size, bool rightToLeft) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  if (rightToLeft) {
    p.translate(size, 0);
    p.scale(-1, 1);
  }
  p.scale(size / 8.0, size / 8.0);
  QPainterPath path;
  for (double x : {1.5, 4.5}) {
    path.moveTo(x, 1.5);
    path.lineTo(x + 2, 4);
    path.lineTo(x, 6.5);
  }
  p.setPen(QPen(QColor(96, 96, 96), 1.1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.drawPath(path);
  return pixmap;
}

// The desktop's style, but for the picture of the menu bar's extension
// button. Every menu bar asks for that one when it is made, and Qt reads
// it from an image file in a way that first loads every image-format
// plugin installed (each with its own libraries) to ask whether it can
// read the file: that would cost every start of the program.
class PlatformStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
    if (which != SP_ToolBarHorizontalExtensionButton) return QProxyStyle::standardIcon(which, option, widget);
    const bool rightToLeft = (option ? option->direction : QGuiApplication::layoutDirection()) == Qt::RightToLeft;
    QIcon icon;
    for (int size : {8, 16, 32}) icon.addPixmap(ExtensionChevrons(size, rightToLeft));
    return icon;
  }
};

}  // namespace

void RuntimeInstallStyle() { QApplication::setStyle(new PlatformStyle()); }
