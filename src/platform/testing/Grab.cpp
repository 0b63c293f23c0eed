#include "platform/testing/Grab.h"

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
