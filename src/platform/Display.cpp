// The window system the toolkit starts on, and the probes that find out,
// before it starts, whether a display answers: the toolkit itself offers no
// such check and ends the process by abort when its platform cannot open.
#include <QDir>
#include <QLibraryInfo>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/Application.h"
#include "platform/internal/SystemLibraries.h"

namespace {

// The program places its windows itself and reads the live state of Ctrl
// and Alt whichever program has the focus. A Wayland client may do neither,
// so it runs on X11, on XWayland under a Wayland desktop, and on Wayland
// only when no X server answers.
constexpr const char* kWindowSystem = "xcb";
constexpr const char* kWaylandWindowSystem = "wayland";

std::string Env(const char* name) { return qEnvironmentVariable(name).toStdString(); }

// The value of the last of the toolkit's options that has one: the toolkit
// reads its options with one dash or two, and a later one wins.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, std::string_view option) {
  std::optional<std::string> value;
  for (size_t i = 1; i + 1 < args.size(); ++i) {
    std::string_view a = args[i];
    if (a.starts_with("--")) a.remove_prefix(1);
    if (a.starts_with('-') && a.substr(1) == option) value = args[++i];
  }
  return value;
}

// The window systems of a platform choice: "wayland;xcb" lists several,
// each tried in turn, and "name:options" gives a platform its options.
std::vector<std::string> PlatformNames(const std::string& choice) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= choice.size()) {
    size_t end = choice.find(';', start);
    if (end == std::string::npos) end = choice.size();
    const std::string entry = choice.substr(start, end - start);
    names.push_back(entry.substr(0, entry.find(':')));
    start = end + 1;
  }
  return names;
}

std::string Sentence(const std::vector<std::string>& reasons) {
  std::string line = "Servalo cannot start: ";
  for (size_t i = 0; i < reasons.size(); ++i) line += (i ? ", and " : "") + reasons[i];
  return line + ".";
}

// --- The probe that asks the system.

// The few calls of libxcb the probe needs; the library is opened at run
// time, so that the program does not link the X11 client library itself.
struct Xcb {
  void* (*connect)(const char* display, int* screen) = nullptr;
  int (*hasError)(void* connection) = nullptr;
  void (*disconnect)(void* connection) = nullptr;
};

// libxcb from the system's library folders, the one the toolkit's X11
// platform loads: by full path, never by a bare name. It stays loaded: the
// toolkit uses the same copy.
const Xcb* LoadXcb() {
  static const std::optional<Xcb> xcb = []() -> std::optional<Xcb> {
    void* library = RuntimeOpenSystemLibrary("libxcb.so.1");
    if (!library) return std::nullopt;
    Xcb x;
    x.connect = reinterpret_cast<decltype(x.connect)>(dlsym(library, "xcb_connect"));
    x.hasError = reinterpret_cast<decltype(x.hasError)>(dlsym(library, "xcb_connection_has_error"));
    x.disconnect = reinterpret_cast<decltype(x.disconnect)>(dlsym(library, "xcb_disconnect"));
    if (x.connect && x.hasError && x.disconnect) return x;
    dlclose(library);
    return std::nullopt;
  }();
  return xcb ? &*xcb : nullptr;
}

class SystemDisplayProbe : public DisplayProbe {
 public:
  bool XServerAnswers(const std::string& display) override {
    const Xcb* xcb = LoadXcb();
    // Without libxcb the toolkit's X11 platform cannot load either; let it
    // say so itself.
    if (!xcb) return true;
    void* connection = xcb->connect(display.c_str(), nullptr);
    if (xcb->hasError(connection)) {
      xcb->disconnect(connection);
      return false;
    }
    Release();
    held_ = connection;
    return true;
  }

  bool WaylandAnswers(const std::string& display) override {
    // Where the Wayland client library looks for the compositor's socket.
    std::string path = display;
    if (!path.starts_with('/')) {
      const std::string runtimeDir = Env("XDG_RUNTIME_DIR");
      if (!runtimeDir.starts_with('/')) return false;
      path = runtimeDir + "/" + display;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool answers = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return answers;
  }

  bool WaylandPluginInstalled() override {
    // The folders the toolkit looks for platform plugins in.
    QStringList folders = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH").split(QDir::listSeparator(),
                                                                                  Qt::SkipEmptyParts);
    for (const QString& path : qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(),
                                                                           Qt::SkipEmptyParts))
      folders << path + QStringLiteral("/platforms");
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    return std::any_of(folders.begin(), folders.end(), [](const QString& folder) {
      return !QDir(folder).entryList({QStringLiteral("libqwayland*.so")}, QDir::Files).isEmpty();
    });
  }

  void Release() override {
    if (held_) LoadXcb()->disconnect(held_);
    held_ = nullptr;
  }

 private:
  void* held_ = nullptr;
};

}  // namespace

DisplayProbe& RuntimeDisplayProbe() {
  static SystemDisplayProbe probe;
  return probe;
}

ToolkitStart RuntimeToolkitArguments(int argc, char** argv, DisplayProbe& probe) {
  ToolkitStart start;
  start.arguments.assign(argv, argv + argc);
  const std::vector<std::string>& args = start.arguments;

  const std::string xDisplay = OptionValue(args, "display").value_or(Env("DISPLAY"));
  std::vector<std::string> reasons;
  const auto xUsable = [&] {
    if (!xDisplay.empty() && probe.XServerAnswers(xDisplay)) return true;
    reasons.push_back(xDisplay.empty() ? "no X display is set in DISPLAY"
                                       : "no X server answers on display " + xDisplay);
    return false;
  };
  const auto waylandUsable = [&](const std::string& display) {
    if (!probe.WaylandAnswers(display)) {
      reasons.push_back("no Wayland compositor answers on " + display);
      return false;
    }
    if (!probe.WaylandPluginInstalled()) {
      reasons.push_back("Qt's Wayland plugin, needed for " + display + ", is not installed (package qt6-wayland)");
      return false;
    }
    return true;
  };

  std::optional<std::string> chosen = OptionValue(args, "platform");
  if (!chosen && !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) chosen = Env("QT_QPA_PLATFORM");
  if (chosen) {
    // The user's choice stands. Only a choice of window systems that can be
    // probed, none of which answers, is known to fail.
    for (const std::string& name : PlatformNames(*chosen)) {
      if (name == kWindowSystem) {
        if (xUsable()) return start;
      } else if (name.starts_with(kWaylandWindowSystem)) {
        // The Wayland client library's own default display.
        const std::string display = Env("WAYLAND_DISPLAY");
        if (waylandUsable(display.empty() ? "wayland-0" : display)) return start;
      } else {
        return start;
      }
    }
    start.failure = Sentence(reasons);
    return start;
  }

  const auto startOn = [&](const char* windowSystem) {
    start.arguments.insert(start.arguments.begin() + std::min(argc, 1), {"-platform", windowSystem});
    return start;
  };
  if (xUsable()) return startOn(kWindowSystem);
  const std::string waylandDisplay = Env("WAYLAND_DISPLAY");
  if (!waylandDisplay.empty() && waylandUsable(waylandDisplay)) return startOn(kWaylandWindowSystem);
  start.failure = Sentence(reasons);
  return start;
}
