#include "platform/Canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include "platform/Window.h"
#include "platform/internal/Native.h"

#ifdef SERVALO_BENCH_HOOKS
#include <QCoreApplication>
#include <QEvent>

#include <cstdio>
#include <ctime>

// Measuring hooks of the benchmark build: the wall-clock time of the first
// paint of any window (once it is done) and of each paint of the upper
// banner, on standard error, for bench/run.sh.
void BenchStamp(const char* what) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::fprintf(stderr, "servalo-bench %s %lld\n", what, (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
  std::fflush(stderr);
}

namespace {

class FirstPaintStamp : public QObject {
 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Paint) return QObject::eventFilter(object, event);
    QCoreApplication::instance()->removeEventFilter(this);
    deleteLater();
    // The paint itself, then the stamp.
    object->event(event);
    BenchStamp("first-paint");
    return true;
  }
};

void InstallFirstPaintStamp() { QCoreApplication::instance()->installEventFilter(new FirstPaintStamp); }
Q_COREAPP_STARTUP_FUNCTION(InstallFirstPaintStamp)

}  // namespace
#endif

namespace {

class RectangleWidget : public QWidget {
 public:
  QColor fill = Qt::white, topLeft = Qt::black, bottomRight = Qt::black;
  int border = 1;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), fill);
    for (int i = 0; i < border; ++i) {
      p.setPen(topLeft);
      p.drawLine(i, i, width() - 1 - i, i);
      p.drawLine(i, i, i, height() - 1 - i);
      p.setPen(bottomRight);
      p.drawLine(i, height() - 1 - i, width() - 1 - i, height() - 1 - i);
      p.drawLine(width() - 1 - i, i, width() - 1 - i, height() - 1 - i);
    }
  }
};

}  // namespace

class CanvasWidget : public QWidget {
 public:
  explicit CanvasWidget(Canvas& owner) : owner_(owner) {}

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    PainterGraphics g(p, width(), height());
    std::vector<Rect> areas;
    for (const QRect& r : event->region()) areas.push_back(Rect{r.left(), r.top(), r.width(), r.height()});
    owner_.Paint(g, areas);
#ifdef SERVALO_BENCH_HOOKS
    if (owner_.Name() == "Banner1") BenchStamp("banner1-painted");
#endif
  }

 private:
  Canvas& owner_;
};

Rectangle::Rectangle(Window& window) : ControlOf(window, "Rectangle") {
  auto* w = new RectangleWidget();
  SetWidget(w);
  DeclareProperty("FillColor", PropKind::Color, [w](const PropValue& v) { w->fill = ToQColor(v); w->update(); });
  DeclareProperty("TopLeftColor", PropKind::Color, [w](const PropValue& v) { w->topLeft = ToQColor(v); w->update(); });
  DeclareProperty("BottomRightColor", PropKind::Color,
                  [w](const PropValue& v) { w->bottomRight = ToQColor(v); w->update(); });
  DeclareProperty("BorderWidth", PropKind::Integer, [w](const PropValue& v) { w->border = std::get<int32_t>(v); w->update(); });
}

Canvas::Canvas(Window& window) : ControlOf(window, "Canvas") {
  auto* w = new CanvasWidget(*this);
  SetWidget(w);
  DeclareEvent<Canvas&, Graphics&, const std::vector<Rect>&>("Paint", "( Canvas, Graphics, Rect() )");
  // Transparent: what lies behind shows through; the canvas draws only its
  // own text on it.
  DeclareProperty("Transparent", PropKind::Boolean, [w](const PropValue& v) {
    w->setAttribute(Qt::WA_NoSystemBackground, std::get<bool>(v));
    w->setAutoFillBackground(!std::get<bool>(v));
  });
  DeclareStored({"EraseBackground", "DoubleBuffer", "AcceptTabs"}, PropKind::Boolean);
  DeclareProperty("AcceptFocus", PropKind::Boolean, [w](const PropValue& v) {
    w->setFocusPolicy(std::get<bool>(v) ? Qt::StrongFocus : Qt::NoFocus);
  });
}

void Canvas::Paint(Graphics& g, const std::vector<Rect>& areas) {
  ++paintCount_;
  if (!ParentWindow().IsOpen()) return;
  RaiseEvent<Canvas&, Graphics&, const std::vector<Rect>&>("Paint", *this, g, areas);
}
