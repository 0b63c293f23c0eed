// The bare Qt 6 window of the benchmark: the control panel's size and
// place, a 50 ms timer that polls Ctrl and Alt as the program does, and a
// repaint with a one-second lock-out for each trigger. It prints the same
// time stamps as the program's benchmark build.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

void Stamp(const char* what) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::fprintf(stderr, "servalo-bench %s %lld\n", what, (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
  std::fflush(stderr);
}

class Bare : public QWidget {
 public:
  Bare() {
    setWindowTitle("Bare");
    setFixedSize(200, 85);
    move(0, 683);
    poll_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start(50);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawText(rect(), Qt::AlignCenter, QString::number(count_));
    p.end();
    // Once the paint is done, as the program's stamp.
    if (!painted_) Stamp("first-paint");
    painted_ = true;
    if (announce_) Stamp("banner1-painted");
    announce_ = false;
  }

 private:
  void Poll() {
    if (locked_) return;
    const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
    if (!m.testFlag(Qt::ControlModifier) || !m.testFlag(Qt::AltModifier)) return;
    ++count_;
    announce_ = true;
    repaint();
    locked_ = true;
    QTimer::singleShot(1000, Qt::PreciseTimer, this, [this] { locked_ = false; });
  }

  QTimer poll_;
  int count_ = 0;
  bool painted_ = false, announce_ = false, locked_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Bare bare;
  bare.show();
  return app.exec();
}
