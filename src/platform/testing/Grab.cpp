#include "platform/testing/Grab.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "platform/Design.h"
#include "platform/Window.h"

QImage GrabControl(const Control& control) {
  QWidget* widget = control.NativeWidget();
  if (!widget) RuntimeFail("control '" + control.Name() + "' has no visible part to grab");
  QWidget* content = control.ParentWindow().Content();
  const QRect area(widget->mapTo(content, QPoint(0, 0)), widget->size());
  return content->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

bool Holds(const QImage& image, QColor color) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == color) return true;
  return false;
}
