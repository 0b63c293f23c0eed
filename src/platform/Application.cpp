#include "platform/Application.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QResource>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/Design.h"
#include "platform/Speech.h"
#include "platform/Window.h"
#include "platform/internal/Native.h"
#include "platform/internal/Style.h"

namespace {

Application* theApp = nullptr;
bool quitting = false;
int quitCode = 0;

// The arguments the toolkit runs with; the application object keeps and
// edits them, so they live as long as the process.
std::vector<std::string> toolkitArgs;
std::vector<char*> toolkitArgv;
int toolkitArgc = 0;

// The application's icon at each size it is built in, from raw RGBA pixels:
// decoding an image file would load every image-format plugin at start.
QIcon WindowIcon() {
  QIcon icon;
  const QDir dir(QStringLiteral(":/servalo/icon"));
  for (const QString& name : dir.entryList(QDir::Files)) {
    const QByteArray rgba = QResource(dir.filePath(name)).uncompressedData();
    const int side = int(std::lround(std::sqrt(double(rgba.size()) / 4)));
    if (side == 0 || qsizetype(side) * side * 4 != rgba.size()) continue;
    const QImage image(reinterpret_cast<const uchar*>(rgba.constData()), side, side, side * 4,
                       QImage::Format_RGBA8888);
    icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

}  // namespace

Application::Application() = default;
Application::~Application() {
  if (theApp == this) theApp = nullptr;
}

int32_t Application::MajorVersion() const { return SERVALO_VERSION_MAJOR; }
int32_t Application::MinorVersion() const { return SERVALO_VERSION_MINOR; }
int32_t Application::BugVersion() const { return SERVALO_VERSION_BUG; }
std::string Application::ShortVersion() const { return SERVALO_SHORT_VERSION; }
std::string Application::LongVersion() const { return SERVALO_LONG_VERSION; }

void Application::AddMenuHandler(const std::string& itemName, const Delegate& handler) {
  menuHandlers_.emplace_back(itemName, RuntimeCheckMenuDelegate(itemName, handler));
}

bool Application::HasMenuHandler(const std::string& itemName) const {
  return std::any_of(menuHandlers_.begin(), menuHandlers_.end(), [&](const auto& h) { return h.first == itemName; });
}

bool Application::HandleMenuCommand(const std::string& itemName) {
  for (const auto& [name, fn] : menuHandlers_)
    if (name == itemName) return (*fn)();
  return false;
}

Runtime::Runtime(int& argc, char** argv) {
  DisplayProbe& probe = RuntimeDisplayProbe();
  ToolkitStart start = RuntimeToolkitArguments(argc, argv, probe);
  if (!start.failure.empty()) {
    // The toolkit would end the process by abort, with advice that does not
    // help; nothing has been read or written yet.
    std::fprintf(stderr, "%s\n", start.failure.c_str());
    std::exit(1);
  }
  toolkitArgs = std::move(start.arguments);
  toolkitArgv.clear();
  for (std::string& a : toolkitArgs) toolkitArgv.push_back(a.data());
  toolkitArgv.push_back(nullptr);
  toolkitArgc = int(toolkitArgs.size());
  new QApplication(toolkitArgc, toolkitArgv.data());
  probe.Release();
  RuntimeInstallStyle();
  // The toolkit takes its own options out of the arguments; hand the rest
  // back to the caller, as it would have done with the caller's own.
  if (toolkitArgc <= argc) {
    std::copy_n(toolkitArgv.begin(), toolkitArgc, argv);
    argv[toolkitArgc] = nullptr;
    argc = toolkitArgc;
  }
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName("Servalo");
  QApplication::setApplicationVersion(SERVALO_SHORT_VERSION);
  QGuiApplication::setDesktopFileName(QStringLiteral("servalo"));
  QApplication::setWindowIcon(WindowIcon());
  quitting = false;
  quitCode = 0;
}

Runtime::~Runtime() {
  RuntimeDiscardAllWindows();
  delete qApp;
}

int Runtime::Exit(int status) {
  RuntimeDiscardAllWindows();
  return status;
}

void RuntimeRegisterApplication(Application& app) { theApp = &app; }
Application* RuntimeApplication() { return theApp; }

int RuntimeRunEventLoop() {
  QTimer::singleShot(0, [] {
    if (theApp) RuntimeGuard([] { theApp->Event_Open(); });
  });
  // The speech engine starts on its own thread once the first windows are
  // up, so that neither waits for the other.
  QTimer::singleShot(250, [] { RuntimePrepareSpeech(); });
  const int code = QApplication::exec();
  return quitting ? quitCode : code;
}

void RuntimeQuit(int exitCode) {
  quitCode = exitCode;
  if (quitting) return;
  quitting = true;
  // Close the open windows in the order they were opened, so the first
  // window's Close handler still finds the later ones where the operator
  // left them; a window that a Close handler opens is closed in a later
  // round.
  for (int round = 0; round < 8; ++round) {
    bool closedOne = false;
    for (Window* w : RuntimeOpenWindows())
      if (w->IsOpen() && !w->IsClosing()) {
        w->Close();
        closedOne = true;
      }
    if (!closedOne) break;
  }
  QCoreApplication::exit(quitCode);
}

bool RuntimeQuitting() { return quitting; }

void RuntimeProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

// Lets tests run several quits in one process.
void RuntimeResetCloseEvents();
void RuntimeResetQuit() {
  RuntimeResetCloseEvents();
  quitting = false;
  quitCode = 0;
}
int RuntimeQuitCode() { return quitCode; }
