// The module loader: a module missing from its folder, or one of another
// build of the program (older, without the identity exchange, or built with
// other interfaces), is refused with one report on standard error, and the
// command that needed it says it is not available; the build's own modules
// load, and refuse a program of another build.
#include <QtTest>

#include <QTemporaryDir>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "TestMain.h"
#include "calling/Window1.h"
#include "platform/Printing.h"
#include "platform/internal/Modules.h"
#include "platform/internal/NetModule.h"
#include "platform/internal/PrintModule.h"
#include "update/selfTest.h"

namespace {

const char* const kOtherBuild = "0.9.0+qt6.2.4+0123456789abcdef";  // the foreign fixtures' identity
const std::string kNoPrinting = "Printing is not available: the printing support could not be loaded.";
const std::string kNoUpdateCheck = "Checking for updates is not available: the network support could not be loaded.";

// Takes over standard error while it lives.
class StderrCapture {
 public:
  StderrCapture() : file_(std::tmpfile()) {
    std::fflush(stderr);
    saved_ = dup(2);
    dup2(fileno(file_), 2);
  }
  ~StderrCapture() {
    Restore();
    std::fclose(file_);
  }
  // The loader's reports: the lines it wrote.
  std::vector<std::string> Reports() {
    Restore();
    std::rewind(file_);
    std::string text;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, file_)) > 0;) text.append(buf, n);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("servalo: ", 0) == 0) lines.push_back(line);
    return lines;
  }

 private:
  void Restore() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    saved_ = -1;
  }
  FILE* file_;
  int saved_ = -1;
};

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

}  // namespace

class TestModules : public QObject {
  Q_OBJECT

  const std::string buildModules = RuntimeModuleFolder();
  QTemporaryDir emptyFolder;

  // Each way a module is refused: the fixture folder it is loaded from and
  // what the one report says.
  void refusals(const std::string& module) {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("report");
    const std::string file = "libservalo-" + module + ".so";
    const std::string fixtures = SERVALO_TEST_FIXTURES;
    QTest::newRow("missing") << emptyFolder.path()
                             << QString::fromStdString("servalo: cannot load " + file + ": " +
                                                       emptyFolder.path().toStdString() + "/" + file);
    QTest::newRow("older build") << QString::fromStdString(fixtures + "/old")
                                 << QString::fromStdString("servalo: " + fixtures + "/old/" + file +
                                                           " is from another build of the program and was not "
                                                           "used: it has no servalo_" + module + "_module_for_build");
    QTest::newRow("other build")
        << QString::fromStdString(fixtures + "/foreign")
        << QString::fromStdString("servalo: " + fixtures + "/foreign/" + file +
                                  " is from another build of the program and was not used: it was built as " +
                                  kOtherBuild + ", the program as " + RuntimeModuleBuild());
  }

  static void CheckOneReport(StderrCapture& err, const QString& report) {
    const std::vector<std::string> reports = err.Reports();
    QVERIFY2(reports.size() == 1, Joined(reports).c_str());
    QVERIFY2(reports[0].rfind(report.toStdString(), 0) == 0, reports[0].c_str());
  }

 private slots:
  void cleanup() { RuntimeSetModuleFolder(buildModules); }

  void printingRefused_data() { refusals("print"); }
  void printingRefused() {
    QFETCH(QString, folder);
    QFETCH(QString, report);
    RuntimeSetModuleFolder(folder.toStdString());
    StderrCapture err;
    FakeDialogs dialogs;
    // Asked twice, the module is tried once.
    QVERIFY(!RuntimeOpenPrinterDialog());
    QVERIFY(!RuntimeNewPdfPageSurface(QDir(emptyFolder.path()).filePath("help.pdf").toStdString()));
    QVERIFY(!RuntimeOpenPrinterDialog());
    QCOMPARE(dialogs.messages, (std::vector<std::string>{kNoPrinting, kNoPrinting}));
    CheckOneReport(err, report);
  }

  // Check Now, then the version window's button: the update check ends at
  // once with the operator told why.
  void updateCheckRefused_data() { refusals("net"); }
  void updateCheckRefused() {
    QFETCH(QString, folder);
    QFETCH(QString, report);
    RuntimeSetModuleFolder(folder.toStdString());
    StderrCapture err;
    AppFixture f;
    Window1Instance().Show();
    QVERIFY(AppInstance().HandleMenuCommand("CheckforUpdateCheckNow"));
    selfTestInstance().PushButton1().Push();
    QVERIFY(QTest::qWaitFor([&] { return !f.dialogs.events.empty(); }, 30000));
    QCOMPARE(f.dialogs.events, (std::vector<std::string>{"beep", "msgbox:" + kNoUpdateCheck}));
    CheckOneReport(err, report);
  }

  // Module side of the exchange: the build's modules hand their entry only
  // to a program of their own build, and tell theirs either way.
  void buildModulesAnswerOnlyTheirBuild() {
    for (const std::string module : {"print", "net"}) {
      const std::string path = buildModules + "/libservalo-" + module + ".so";
      void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
      QVERIFY2(library, dlerror());
      auto entryFor = reinterpret_cast<ModuleEntryFunction>(dlsym(library, ModuleEntryName(module).c_str()));
      QVERIFY2(entryFor, path.c_str());
      const char* built = nullptr;
      QCOMPARE(entryFor(kOtherBuild, &built), nullptr);
      QCOMPARE(QString(built), QString(RuntimeModuleBuild()));
      built = nullptr;
      QVERIFY(entryFor(RuntimeModuleBuild(), &built));
      QCOMPARE(QString(built), QString(RuntimeModuleBuild()));
    }
  }

  // After refusals in the same process, the build's own modules load again
  // from their folder, without a word.
  void buildModulesLoad() {
    StderrCapture err;
    QVERIFY(RuntimePrintSupport());
    QVERIFY(RuntimeNetSupport());
    QCOMPARE(Joined(err.Reports()), std::string());
  }
};

SERVALO_TEST_MAIN(TestModules)
#include "tst_modules.moc"
