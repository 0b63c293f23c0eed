// The program on the desktop: the window system it asks the toolkit for,
// the probes that tell which window systems answer, and the application's
// icon that its windows carry. The windows of the real program, under an X
// server, are checked in e2e/e2e_desktop.sh, and where none answers in
// e2e/e2e_display.sh.
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "TestMain.h"
#include "platform/Application.h"

namespace {

std::vector<std::string> ToStd(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list) out.push_back(s.toStdString());
  return out;
}

// Sets an environment variable for a scope, a null value unsetting it, and
// puts back what was there: an unset variable comes back unset.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray& value)
      : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name)) {
    if (value.isNull())
      qunsetenv(name);
    else
      qputenv(name, value);
  }
  ~ScopedEnv() {
    if (wasSet_)
      qputenv(name_, saved_);
    else
      qunsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  bool wasSet_;
  QByteArray saved_;
};

// A system where a display answers when it is in the list, X11 and
// Wayland alike.
class FakeDisplayProbe : public DisplayProbe {
 public:
  FakeDisplayProbe(QStringList answering, bool plugin) : answering_(std::move(answering)), plugin_(plugin) {}
  bool XServerAnswers(const std::string& display) override {
    return answering_.contains(QString::fromStdString(display));
  }
  bool WaylandAnswers(const std::string& display) override {
    ++waylandQuestions;
    return answering_.contains(QString::fromStdString(display));
  }
  bool WaylandPluginInstalled() override {
    ++waylandQuestions;
    return plugin_;
  }
  int waylandQuestions = 0;

 private:
  QStringList answering_;
  bool plugin_;
};

// A Unix socket at the path: listening, or left behind by a compositor
// that has gone (the file is there, nobody accepts).
int UnixSocket(const QString& path, bool listening) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray bytes = path.toLocal8Bit();
  std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()) + 1);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return -1;
  if (listening) {
    listen(fd, 4);
    return fd;
  }
  close(fd);
  return -2;
}

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT

 private slots:
  // The window system the toolkit is started on, for each way a user can
  // choose (or not) one and each display that answers (or not); a null
  // environment value is an unset variable. The usual desktop: an X server
  // on :0, a Wayland compositor on wayland-1, the Wayland plugin installed.
  void toolkitArguments_data() {
    QTest::addColumn<QByteArray>("platformVar");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("answering");
    QTest::addColumn<bool>("plugin");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("failure");
    const QByteArray unset;
    const QStringList program = {"servalo"};
    const QStringList x11 = {"servalo", "-platform", "xcb"};
    const QStringList wayland = {"servalo", "-platform", "wayland"};
    const QStringList both = {":0", "wayland-1"};
    const QStringList nothing;
    const auto row = [&](const char* name, const QByteArray& platformVar, const QByteArray& display,
                         const QByteArray& waylandDisplay, const QStringList& args, const QStringList& answering,
                         bool plugin, const QStringList& expected, const QString& failure = {}) {
      QTest::newRow(name) << platformVar << display << waylandDisplay << args << answering << plugin << expected
                          << failure;
    };

    // X11 whenever an X server answers, also on a Wayland desktop.
    row("no choice", unset, ":0", "wayland-1", program, both, true, x11);
    row("no choice, other arguments kept", unset, ":0", unset, {"servalo", "-style", "fusion"}, both, true,
        {"servalo", "-platform", "xcb", "-style", "fusion"});
    row("empty variable: no choice", "", ":0", unset, program, both, true, x11);
    row("-display names the X display", unset, ":7", unset, {"servalo", "-display", ":0"}, both, true,
        {"servalo", "-platform", "xcb", "-display", ":0"});
    row("--display too", unset, unset, unset, {"servalo", "--display", ":0"}, both, true,
        {"servalo", "-platform", "xcb", "--display", ":0"});
    row("program name alone is no argument", unset, ":0", unset, {"-platform"}, both, true,
        {"-platform", "-platform", "xcb"});
    row("-platform without a value is no choice", unset, ":0", unset, {"servalo", "-platform"}, both, true,
        {"servalo", "-platform", "xcb", "-platform"});

    // The user's choice stands.
    row("variable: wayland", "wayland", ":0", "wayland-1", program, both, true, program);
    row("variable: offscreen with options", "offscreen:configfile=x.json", unset, unset, program, nothing, false,
        program);
    row("argument -platform", unset, ":0", "wayland-1", {"servalo", "-platform", "wayland"}, both, true,
        {"servalo", "-platform", "wayland"});
    row("argument --platform", unset, unset, unset, {"servalo", "--platform", "vnc"}, nothing, false,
        {"servalo", "--platform", "vnc"});
    row("argument wins over the variable", "xcb", ":9", unset, {"servalo", "-platform", "vnc"}, nothing, false,
        {"servalo", "-platform", "vnc"});
    row("variable: xcb, server answers", "xcb", ":0", unset, program, both, true, program);
    row("list: wayland gone, xcb answers", "wayland;xcb", ":0", "wayland-9", program, both, true, program);
    row("list with a platform that cannot be probed", "xcb;offscreen", ":9", unset, program, nothing, true,
        program);

    // No X server: Wayland when it can be used.
    row("no DISPLAY, Wayland session", unset, unset, "wayland-1", program, both, true, wayland);
    row("dead X display, Wayland session", unset, ":99", "wayland-1", program, both, true, wayland);

    // Nothing to start on: one line that names what was tried.
    row("no DISPLAY", unset, unset, unset, program, both, true, program,
        "Servalo cannot start: no X display is set in DISPLAY.");
    row("empty DISPLAY and WAYLAND_DISPLAY", unset, "", "", program, both, true, program,
        "Servalo cannot start: no X display is set in DISPLAY.");
    row("dead X display", unset, ":99", unset, program, both, true, program,
        "Servalo cannot start: no X server answers on display :99.");
    row("dead X display named by -display", unset, ":0", unset, {"servalo", "-display", ":99"}, both, true,
        {"servalo", "-display", ":99"}, "Servalo cannot start: no X server answers on display :99.");
    row("dead X and Wayland displays", unset, ":99", "wayland-9", program, both, true, program,
        "Servalo cannot start: no X server answers on display :99, and no Wayland compositor answers on "
        "wayland-9.");
    row("no DISPLAY, no Wayland plugin", unset, unset, "wayland-1", program, both, false, program,
        "Servalo cannot start: no X display is set in DISPLAY, and Qt's Wayland plugin, needed for wayland-1, "
        "is not installed (package qt6-wayland).");
    row("chosen xcb: no fall-back to Wayland", "xcb", ":99", "wayland-1", program, both, true, program,
        "Servalo cannot start: no X server answers on display :99.");
    row("chosen xcb by argument, no DISPLAY", unset, unset, "wayland-1", {"servalo", "-platform", "xcb"}, both,
        true, {"servalo", "-platform", "xcb"}, "Servalo cannot start: no X display is set in DISPLAY.");
    row("chosen wayland, the client library's default display", "wayland", ":0", unset, program, both, true,
        program, "Servalo cannot start: no Wayland compositor answers on wayland-0.");
    row("chosen list, nothing answers", "wayland;xcb", ":99", "wayland-9", program, both, true, program,
        "Servalo cannot start: no Wayland compositor answers on wayland-9, and no X server answers on display "
        ":99.");
  }
  void toolkitArguments() {
    QFETCH(QByteArray, platformVar);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QStringList, args);
    QFETCH(QStringList, answering);
    QFETCH(bool, plugin);
    QFETCH(QStringList, expected);
    QFETCH(QString, failure);
    const ScopedEnv platformEnv("QT_QPA_PLATFORM", platformVar);
    const ScopedEnv displayEnv("DISPLAY", display);
    const ScopedEnv waylandEnv("WAYLAND_DISPLAY", waylandDisplay);
    std::vector<QByteArray> bytes;
    for (const QString& a : args) bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    FakeDisplayProbe probe(answering, plugin);
    const ToolkitStart got = RuntimeToolkitArguments(int(args.size()), argv.data(), probe);
    QCOMPARE(QString::fromStdString(got.failure), failure);
    QCOMPARE(got.arguments, ToStd(expected));
    // Starting on X11 costs no look at Wayland.
    if (failure.isEmpty() && expected.contains("xcb")) QCOMPARE(probe.waylandQuestions, 0);
  }

  // The system's probe finds a Wayland compositor's socket where the
  // Wayland client library does: by name in XDG_RUNTIME_DIR, or by full
  // path; a socket file whose compositor has gone does not answer.
  void waylandProbe_data() {
    QTest::addColumn<bool>("runtimeDirSet");
    QTest::addColumn<QString>("display");  // %1: the runtime folder
    QTest::addColumn<bool>("answers");
    QTest::newRow("name") << true << "wl-live" << true;
    QTest::newRow("full path") << false << "%1/wl-live" << true;
    QTest::newRow("name without XDG_RUNTIME_DIR") << false << "wl-live" << false;
    QTest::newRow("compositor gone") << true << "wl-gone" << false;
    QTest::newRow("no socket") << true << "wl-none" << false;
  }
  void waylandProbe() {
    QFETCH(bool, runtimeDirSet);
    QFETCH(QString, display);
    QFETCH(bool, answers);
    QTemporaryDir dir;
    const int live = UnixSocket(dir.filePath("wl-live"), true);
    QVERIFY(live >= 0);
    QCOMPARE(UnixSocket(dir.filePath("wl-gone"), false), -2);
    const ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtimeDirSet ? dir.path().toLocal8Bit() : QByteArray());
    const bool got = RuntimeDisplayProbe().WaylandAnswers(QString(display).replace("%1", dir.path()).toStdString());
    close(live);
    QCOMPARE(got, answers);
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
