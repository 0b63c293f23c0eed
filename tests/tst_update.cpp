// The update check as the operator meets it: the version window, the
// update window's request against a scripted server, the roads a check can
// end in, the reading of the feed and the upgrade dialog.
#include <QtTest>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTemporaryDir>

#include <cmath>
#include <functional>

#include "AppFixture.h"
#include "TestMain.h"
#include "UpdateTestServer.h"
#include "calling/Window1.h"
#include "platform/Text.h"
#include "platform/internal/Modules.h"
#include "update/FeedReading.h"
#include "update/WebSite.h"
#include "update/selfTest.h"
#include "update/updateWindow.h"

Q_DECLARE_METATYPE(std::vector<ServerStep>)

namespace {

using S = ServerStep;

const std::string kCurrentMessage = "You are using the current version. No update is available.";
const std::string kDialogTitle = "New version available!";
const std::string kNoNetworkMessage =
    "Checking for updates is not available: the network support could not be loaded.";

QByteArray Feed(const QByteArray& version, const QByteArray& free = "No", const QByteArray& description = "Fixes.") {
  return "<?xml version=\"1.0\"?>\n<Update>\n<CurrentVersion>" + version + "</CurrentVersion>\n<Description>" +
         description + "</Description>\n<Free>" + free + "</Free>\n</Update>\n";
}

// An answer with a content-length, and one that runs until the server closes.
QByteArray Answer(const QByteArray& body, const QByteArray& status = "200 OK") {
  return "HTTP/1.0 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\n\r\n" + body;
}
QByteArray AnswerUntilClose(const QByteArray& body) { return "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n" + body; }

QByteArray ExpectedRequest(const UpdateTestServer& server) {
  return "GET /Updates/servalo.xml HTTP/1.0\r\nHost: " + QByteArray::fromStdString(server.Host()) +
         "\r\nAccept: */*\r\nAccept-Language: en\r\n\r\n";
}

updateWindow* OpenUpdateWindow() { return RuntimeGetImplicitWindow<updateWindow>(); }
selfTest* OpenVersionWindow() { return RuntimeGetImplicitWindow<selfTest>(); }

int OpenWindowsOf(std::type_index cls) {
  int n = 0;
  for (Window* w : RuntimeOpenWindows())
    if (std::type_index(typeid(*w)) == cls) ++n;
  return n;
}

QWidget* NativeOf(Window& w) { return w.Content()->window(); }

std::string ErrorMessage(const std::string& code) {
  return "There was a communication error with the website. Please try again later. (Code: " + code + ")";
}

std::string UpgradeMessage(const std::string& version, bool free) {
  return "Version " + version + " is now available. (You are using version 1.1.0.) " +
         (free ? "This is a free upgrade. Would you like to automatically download this update (using your web "
                 "browser)?"
               : "This is a paid upgrade. Would you like to automatically download the trial version (using your "
                 "web browser)?");
}

// Lets the event loop run for a while, so that anything more would show.
void Settle() { QTest::qWait(150); }

// Records the label's text each time it is painted.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget* w) : widget(w) { w->installEventFilter(this); }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == widget && e->type() == QEvent::Paint) painted.push_back(static_cast<QLabel*>(widget)->text());
    return false;
  }
  QWidget* widget;
  QStringList painted;
};

// Opens the address only while it records whether the update window was
// still open at that moment.
class WatchingUrlOpener : public FakeUrlOpener {
 public:
  void ShowURL(const std::string& url) override {
    FakeUrlOpener::ShowURL(url);
    updateWindowOpen.push_back(OpenUpdateWindow() != nullptr);
  }
  std::vector<bool> updateWindowOpen;
};

// What the operator sees of one text of the desktop's message dialog.
struct ShownText {
  QString text;          // as plain text
  QSize needs;           // what the whole text needs at the width it was given
  QRect shown;           // where it stands, in the dialog's coordinates
  bool scrolls = false;  // what does not fit can be scrolled to
  QStringList lines;     // its lines as wrapped
};

// The text of the dialog that begins with the given words: a label's or a
// text view's.
ShownText Shown(QDialog* dialog, const QString& begins) {
  ShownText t;
  for (QLabel* label : dialog->findChildren<QLabel*>()) {
    QTextDocument doc;
    doc.setHtml(label->text());
    const QString plain = label->textFormat() == Qt::PlainText ? label->text() : doc.toPlainText();
    if (!label->isVisible() || !plain.startsWith(begins)) continue;
    t.text = plain;
    t.needs = QSize(label->minimumSizeHint().width(), label->heightForWidth(label->width()));
    t.shown = QRect(label->mapTo(dialog, QPoint()), label->size());
    return t;
  }
  for (QTextEdit* view : dialog->findChildren<QTextEdit*>()) {
    if (!view->isVisible() || !view->toPlainText().startsWith(begins)) continue;
    t.text = view->toPlainText();
    QTextDocument* doc = view->document();
    t.needs = QSize(int(std::ceil(doc->idealWidth())), int(std::ceil(doc->size().height())));
    t.shown = QRect(view->viewport()->mapTo(dialog, QPoint()), view->viewport()->size());
    t.scrolls = view->verticalScrollBar()->isVisible() && view->verticalScrollBar()->maximum() > 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
      for (int i = 0; i < b.layout()->lineCount(); ++i)
        t.lines << b.text().mid(b.layout()->lineAt(i).textStart(), b.layout()->lineAt(i).textLength());
    return t;
  }
  return t;
}

// Runs show with the desktop's dialogs in place. Once the dialog titled
// "New version available!" is up, look sees it; then the button captioned
// press is clicked, or Escape pressed when press is empty.
void WithDesktopDialog(const QString& press, const std::function<void(QDialog*)>& look,
                       const std::function<void()>& show) {
  IDialogs& before = RuntimeDialogs();
  RuntimeSetDialogs(nullptr);
  QTimer poll;
  int ticks = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog->windowTitle() != QString::fromStdString(kDialogTitle) || !dialog->isVisible()) return;
    if (++ticks < 3) return;  // laid out and painted
    poll.stop();
    look(dialog);
    if (press.isEmpty()) {
      QTest::keyClick(dialog, Qt::Key_Escape);
      return;
    }
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
      if (b->text() == press) return b->click();
    dialog->reject();
  });
  poll.start(20);
  show();
  RuntimeSetDialogs(&before);
}

QByteArray NumberedLines(int count) {
  QByteArray text;
  for (int i = 1; i <= count; ++i) text += "Line " + QByteArray::number(i) + " of the changes.\n";
  return text;
}

}  // namespace

class TestUpdate : public QObject {
  Q_OBJECT

  std::unique_ptr<AppFixture> f;

  // The menu command, then the version window's button.
  updateWindow& StartCheck() {
    AppInstance().HandleMenuCommand("CheckforUpdateCheckNow");
    selfTestInstance().PushButton1().Push();
    updateWindow* w = OpenUpdateWindow();
    if (!w) qFatal("the version window's button opened no update window");
    return *w;
  }

  // Until the check shows something or its window has gone.
  bool WaitForAnEnd() {
    return QTest::qWaitFor([&] { return !f->dialogs.events.empty() || !OpenUpdateWindow(); }, 60000);
  }

 private slots:
  void init() {
    f = std::make_unique<AppFixture>();
    Window1Instance().Show();
  }
  void cleanup() {
    SetWebSiteHostForTesting("");
    // Windows closed by the test are discarded from the event loop; let
    // that happen before the fixture discards the rest, or a later test's
    // window could be taken for one of them.
    RuntimeProcessEvents();
    f.reset();
  }

  // ---- The version window

  void versionWindowOpensAtItsPlace() {
    QVERIFY(AppInstance().HandleMenuCommand("CheckforUpdateCheckNow"));
    selfTest* w = OpenVersionWindow();
    QVERIFY(w);
    QCOMPARE(w->Title(), std::string("Self Test"));
    QCOMPARE(w->Top(), 60);
    QCOMPARE(w->Left(), 20);
    QCOMPARE(w->StaticText1().Text(), std::string("Version:"));
    QCOMPARE(w->StaticText2().Text(), AppInstance().LongVersion());
    QVERIFY(w->StaticText2().Text() != "1.1.0 Intel");
    QCOMPARE(w->PushButton1().Caption(), std::string("Check for Updates"));
    QVERIFY(w->PushButton1().Default());
    // Not resizable, no minimise or zoom button.
    QWidget* native = NativeOf(*w);
    QCOMPARE(native->minimumSize(), native->maximumSize());
    QVERIFY(!(native->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    // Moved away, the command brings the one window back to its place.
    w->Top(300);
    w->Left(400);
    QVERIFY(AppInstance().HandleMenuCommand("CheckforUpdateCheckNow"));
    QCOMPARE(OpenWindowsOf(typeid(selfTest)), 1);
    QCOMPARE(OpenVersionWindow(), w);
    QCOMPARE(w->Top(), 60);
    QCOMPARE(w->Left(), 20);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), NativeOf(*w), 10000);

    // Its close box closes it and starts nothing.
    native->close();
    QVERIFY(!OpenVersionWindow());
    QVERIFY(!OpenUpdateWindow());
    QVERIFY(f->dialogs.events.empty());
  }

  // ---- The update window and its request

  void updateWindowWaitsWithOneRequest() {
    UpdateTestServer server({S::Await(), S::Silence()});
    SetWebSiteHostForTesting(server.Host());
    updateWindow& w = StartCheck();
    QCOMPARE(w.Title(), std::string("Update"));
    QCOMPARE(w.StaticText1().Text(), std::string("Checking for update..."));
    QCOMPARE(w.ProgressBar1().Maximum(), 0);
    QVERIFY(w.ProgressBar1().Visible());
    QCOMPARE(w.PushButton1().Caption(), std::string("Cancel"));
    QVERIFY(w.PushButton1().Default() && w.PushButton1().Cancel());
    QVERIFY(!w.automaticCheck);
    QVERIFY(!OpenVersionWindow());  // closed when the check began
    // A movable modal window: the control panel waits behind it.
    QVERIFY(NativeOf(w)->isModal());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeModalWidget(), NativeOf(w), 10000);

    QTRY_VERIFY_WITH_TIMEOUT(server.ScriptDone(), 30000);
    QCOMPARE(server.Received(), ExpectedRequest(server));
    QCOMPARE(w.hp().Address(), std::string("127.0.0.1"));
    QCOMPARE(w.hp().Port(), int32_t(server.Port()));
    Settle();
    QCOMPARE(server.Connections(), 1);
    QVERIFY(f->dialogs.events.empty());
    QVERIFY(OpenUpdateWindow());
  }

  // Pressing "Check for Updates" again only brings the open update window
  // to the front.
  void secondCheckSendsNoSecondRequest() {
    UpdateTestServer server({S::Await(), S::Silence()});
    SetWebSiteHostForTesting(server.Host());
    updateWindow& w = StartCheck();
    QTRY_VERIFY_WITH_TIMEOUT(server.ScriptDone(), 30000);
    QVERIFY(AppInstance().HandleMenuCommand("CheckforUpdateCheckNow"));
    selfTestInstance().PushButton1().Push();
    QCOMPARE(OpenUpdateWindow(), &w);
    QCOMPARE(OpenWindowsOf(typeid(updateWindow)), 1);
    QVERIFY(OpenVersionWindow());  // no second Open handler closed it
    Settle();
    QCOMPARE(server.Connections(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), NativeOf(w), 10000);
  }

  // Each behaviour of the server ends the check in exactly one road.
  void serverBehaviours_data() {
    QTest::addColumn<bool>("listening");
    QTest::addColumn<std::vector<ServerStep>>("script");
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("detail");  // the version offered, or the error code
    QTest::addColumn<bool>("free");

    const QByteArray current = Feed("1.1.0");
    const QByteArray pad(int(kHTTPBodyCap) + 200000, ' ');
    QTest::newRow("nothing listening") << false << std::vector<S>{} << "error" << "103" << false;
    QTest::newRow("accept and close at once") << true << std::vector<S>{S::Hangup()} << "empty" << "" << false;
    QTest::newRow("accept, stay silent, Cancel") << true << std::vector<S>{S::Silence()} << "cancel" << "" << false;
    QTest::newRow("request read, silence, Cancel") << true << std::vector<S>{S::Await(), S::Silence()} << "cancel"
                                                   << "" << false;
    QTest::newRow("same version") << true << std::vector<S>{S::Await(), S::Write(Answer(current)), S::Hangup()}
                                  << "current" << "" << false;
    QTest::newRow("newer, free") << true
                                 << std::vector<S>{S::Await(), S::Write(Answer(Feed("1.2.0", "Yes"))), S::Hangup()}
                                 << "upgrade" << "1.2.0" << true;
    QTest::newRow("newer, paid") << true
                                 << std::vector<S>{S::Await(), S::Write(Answer(Feed("1.2.0", "No"))), S::Hangup()}
                                 << "upgrade" << "1.2.0" << false;
    QTest::newRow("lower") << true << std::vector<S>{S::Await(), S::Write(Answer(Feed("1.0.9"))), S::Hangup()}
                           << "upgrade" << "1.0.9" << false;
    QTest::newRow("404 carrying the feed")
        << true << std::vector<S>{S::Await(), S::Write(Answer(current, "404 Not Found")), S::Hangup()} << "current"
        << "" << false;
    QTest::newRow("404 carrying a newer feed")
        << true << std::vector<S>{S::Await(), S::Write(Answer(Feed("1.2.0", "Yes"), "404 Not Found")), S::Hangup()}
        << "upgrade" << "1.2.0" << true;
    QTest::newRow("500 with no body, server stays")
        << true << std::vector<S>{S::Await(), S::Write(Answer("", "500 Internal Server Error")), S::Silence()}
        << "empty" << "" << false;
    QTest::newRow("headers but no body") << true << std::vector<S>{S::Await(), S::Write(AnswerUntilClose("")), S::Hangup()}
                                         << "empty" << "" << false;
    // An answer cut short is a failed check, whose code tells how it ended.
    QTest::newRow("headers cut off")
        << true << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\nContent-Ty"), S::Hangup()} << "error"
        << "108" << false;
    QTest::newRow("garbage status line")
        << true << std::vector<S>{S::Await(), S::Write("SPEAK FRIEND\r\n\r\n" + current), S::Hangup()} << "current"
        << "" << false;
    QTest::newRow("garbage without line ends")
        << true << std::vector<S>{S::Await(), S::Write(QByteArray("\x01\x02 no http here", 15)), S::Hangup()}
        << "error" << "108" << false;
    QTest::newRow("content-length longer than sent, then close")
        << true
        << std::vector<S>{S::Await(),
                          S::Write("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(current.size() + 100) +
                                   "\r\n\r\n" + current),
                          S::Hangup()}
        << "error" << "107" << false;
    {
      const QByteArray feed = "<?xml version=\"1.0\"?>\n<Update><CurrentVersion>1.2.0</Current";
      QTest::newRow("close in the version, 60 of 5000 bytes")
          << true
          << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + feed),
                            S::Hangup()}
          << "error" << "107" << false;
    }
    {
      const QByteArray body = Feed("1.2.0", "Yes");
      const QByteArray upToD = body.left(body.indexOf("<Description>") + 2);
      QTest::newRow("reset after the version, before the content-length")
          << true
          << std::vector<S>{S::Await(),
                            S::Write("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                                     "\r\n\r\n" + upToD),
                            S::Wait(50), S::Break()}
          << "error" << "109" << false;
    }
    {
      const QByteArray body = Feed("1.2.0", "Yes");
      const int upToVersion = int(body.indexOf("</CurrentVersion>")) + 17;
      QTest::newRow("content-length shorter: the rest is not read")
          << true
          << std::vector<S>{S::Await(),
                            S::Write("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(upToVersion) +
                                     "\r\n\r\n" + body),
                            S::Silence()}
          << "upgrade" << "1.2.0" << false;
    }
    QTest::newRow("negative content-length")
        << true
        << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n" + current), S::Hangup()}
        << "current" << "" << false;
    QTest::newRow("rubbish content-length")
        << true
        << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\nContent-Length: lots\r\n\r\n" + current),
                          S::Hangup()}
        << "current" << "" << false;
    QTest::newRow("bare LF line ends")
        << true
        << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\nContent-Type: text/xml\n\n" + current), S::Hangup()}
        << "current" << "" << false;
    QTest::newRow("reset in the middle of the body, no length")
        << true
        << std::vector<S>{S::Await(), S::Write(AnswerUntilClose("<CurrentVersion>1.2.0</CurrentVersion><Descr")),
                          S::Wait(50), S::Break()}
        << "error" << "109" << false;
    // A long head is read; one beyond the body's cap is a failure.
    QTest::newRow("header line of 100 000 bytes")
        << true
        << std::vector<S>{S::Await(),
                          S::Write("HTTP/1.0 200 OK\r\nX-Padding: " + QByteArray(100000, 'p') + "\r\nContent-Length: " +
                                   QByteArray::number(current.size()) + "\r\n\r\n" + current),
                          S::Hangup()}
        << "current" << "" << false;
    QTest::newRow("head over 1 MiB")
        << true
        << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\nX-Padding: " + pad + "\r\n\r\n" + current),
                          S::Silence()}
        << "error" << "110" << false;
    QTest::newRow("slow trickle") << true << std::vector<S>{S::Await(), S::Drip(Answer(current), 4, 10), S::Hangup()}
                                  << "current" << "" << false;
    QTest::newRow("body over the cap, feed at its start")
        << true << std::vector<S>{S::Await(), S::Write(AnswerUntilClose(current + pad)), S::Silence()} << "current"
        << "" << false;
    QTest::newRow("body over the cap, feed beyond it")
        << true << std::vector<S>{S::Await(), S::Write(AnswerUntilClose(pad + current)), S::Hangup()} << "error" << "200"
        << false;
    // A page without the version's start tag is no feed: the error road,
    // with the answer's status code.
    QTest::newRow("HTML page with status 200")
        << true
        << std::vector<S>{S::Await(), S::Write(Answer("<html><body>Sign in to use this network</body></html>")),
                          S::Hangup()}
        << "error" << "200" << false;
    QTest::newRow("garbage: no status line, no tags")
        << true << std::vector<S>{S::Await(), S::Write("\x8f\x01garbage\r\n\r\n<<<>>> \xff more"), S::Hangup()}
        << "error" << "0" << false;
    QTest::newRow("404 page without the tags")
        << true
        << std::vector<S>{S::Await(), S::Write(Answer("<html><h1>Not Found</h1></html>", "404 Not Found")), S::Hangup()}
        << "error" << "404" << false;
    QTest::newRow("only the end tag") << true
                                      << std::vector<S>{S::Await(), S::Write(Answer("1.2.0</CurrentVersion>")), S::Hangup()}
                                      << "error" << "200" << false;
    QTest::newRow("a feed missing only Free")
        << true
        << std::vector<S>{S::Await(),
                          S::Write(Answer("<CurrentVersion>1.2.0</CurrentVersion><Description>x</Description>")),
                          S::Hangup()}
        << "upgrade" << "1.2.0" << false;
    QTest::newRow("duplicated version: the first counts")
        << true
        << std::vector<S>{S::Await(),
                          S::Write(Answer("<CurrentVersion>1.1.0</CurrentVersion><CurrentVersion>1.2.0</CurrentVersion>")),
                          S::Hangup()}
        << "current" << "" << false;
    // Nor is one whose version has no end tag after it, even when the
    // answer came whole.
    QTest::newRow("unterminated version tag")
        << true << std::vector<S>{S::Await(), S::Write(Answer("<Free>Yes</Free><CurrentVersion>1.1.0")), S::Hangup()}
        << "error" << "200" << false;
    QTest::newRow("end tag only before the start tag")
        << true
        << std::vector<S>{S::Await(), S::Write(Answer("</CurrentVersion>x<CurrentVersion>1.1.0", "404 Not Found")),
                          S::Hangup()}
        << "error" << "404" << false;
    QTest::newRow("version cut off, no length")
        << true
        << std::vector<S>{S::Await(), S::Write(AnswerUntilClose("<Update><CurrentVersion>1.2.0</Current")), S::Hangup()}
        << "error" << "200" << false;
    QTest::newRow("chunked answer read raw")
        << true
        << std::vector<S>{S::Await(),
                          S::Write("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                                   QByteArray::number(current.size(), 16) + "\r\n" + current + "\r\n0\r\n\r\n"),
                          S::Hangup()}
        << "current" << "" << false;
    QTest::newRow("keep-alive answer, server stays")
        << true
        << std::vector<S>{S::Await(),
                          S::Write("HTTP/1.1 200 OK\r\nConnection: keep-alive\r\nContent-Length: " +
                                   QByteArray::number(current.size()) + "\r\n\r\n" + current),
                          S::Silence()}
        << "current" << "" << false;
    QTest::newRow("tags in other letter case")
        << true
        << std::vector<S>{S::Await(), S::Write(Answer("<currentversion>1.1.0</CURRENTVERSION>")), S::Hangup()}
        << "current" << "" << false;
  }
  void serverBehaviours() {
    QFETCH(bool, listening);
    QFETCH(std::vector<ServerStep>, script);
    QFETCH(QString, road);
    QFETCH(QString, detail);
    QFETCH(bool, free);
    UpdateTestServer server(script);
    QVERIFY(server.Listening());
    SetWebSiteHostForTesting(listening ? server.Host()
                                       : "127.0.0.1:" + std::to_string(UpdateTestServer::UnusedPort()));
    StartCheck();

    if (road == "cancel") {
      QTRY_VERIFY_WITH_TIMEOUT(server.ScriptDone(), 30000);
      Settle();
      QVERIFY(f->dialogs.events.empty());
      OpenUpdateWindow()->PushButton1().Push();
      QVERIFY(!OpenUpdateWindow());  // at once
      QTRY_VERIFY_WITH_TIMEOUT(server.ClientHungUp(), 30000);
    } else {
      QVERIFY(WaitForAnEnd());
    }
    Settle();  // nothing more follows, from the socket or anywhere

    std::vector<std::string> expected;
    if (road == "current") expected = {"msgbox:" + kCurrentMessage};
    if (road == "upgrade") expected = {"dialog:" + kDialogTitle};
    if (road == "error") expected = {"beep", "msgbox:" + ErrorMessage(detail.toStdString())};
    QCOMPARE(f->dialogs.events, expected);
    if (road == "upgrade") QCOMPARE(f->dialogs.dialogs[0].Message, UpgradeMessage(detail.toStdString(), free));
    // The dialog's Cancel, like every other road here, closes the window.
    QVERIFY(!OpenUpdateWindow());
    QVERIFY(!OpenVersionWindow());
    QVERIFY(f->urls.urls.empty());
    QCOMPARE(server.Connections(), listening ? 1 : 0);
    if (road == "error") QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), NativeOf(Window1Instance()), 10000);
  }

  // ---- The current road

  void currentRoadShowsItsLabelBeforeTheMessage() {
    UpdateTestServer server({S::Await(), S::Write(Answer(Feed("1.1.0"))), S::Hangup()});
    SetWebSiteHostForTesting(server.Host());
    updateWindow& w = StartCheck();
    // The operator opens the version window again while the check runs.
    QVERIFY(AppInstance().HandleMenuCommand("CheckforUpdateCheckNow"));
    QTRY_VERIFY_WITH_TIMEOUT(NativeOf(w)->isVisible(), 10000);
    PaintWatch watch(w.StaticText1().NativeWidget());
    QString shownWhenAsked;
    bool barHidden = false, stillOpen = false;
    f->dialogs.onMsgBox = [&](const std::string&) {
      shownWhenAsked = watch.painted.isEmpty() ? QString() : watch.painted.last();
      barHidden = !w.ProgressBar1().Visible();
      stillOpen = OpenUpdateWindow() != nullptr;
    };
    QVERIFY(WaitForAnEnd());
    QCOMPARE(f->dialogs.messages, std::vector<std::string>{kCurrentMessage});
    // Painted, not only set: the label reads so while the box is up.
    QCOMPARE(shownWhenAsked, QString("This version is current."));
    QVERIFY(barHidden);
    QVERIFY(stillOpen);  // closed only once the box is dismissed
    QVERIFY(!OpenUpdateWindow());
    QVERIFY(!OpenVersionWindow());
  }

  void automaticCheckSuppressesTheMessage() {
    UpdateTestServer server({S::Await(), S::Write(Answer(Feed("1.1.0"))), S::Hangup()});
    SetWebSiteHostForTesting(server.Host());
    updateWindow& w = StartCheck();
    w.automaticCheck = true;
    QTRY_VERIFY_WITH_TIMEOUT(!OpenUpdateWindow(), 60000);
    Settle();
    QVERIFY(f->dialogs.events.empty());
    QVERIFY(!OpenVersionWindow());
  }

  // ---- Reading the feed

  void comparesVersions_data() {
    QTest::addColumn<QString>("feed");
    QTest::addColumn<double>("major");
    QTest::addColumn<double>("minor");
    QTest::addColumn<double>("bug");
    QTest::addColumn<bool>("current");
    QTest::newRow("1.2.0 = 1.2.0") << "1.2.0" << 1.0 << 2.0 << 0.0 << true;
    QTest::newRow("1.2 = 1.2.0: a missing field reads 0") << "1.2" << 1.0 << 2.0 << 0.0 << true;
    QTest::newRow("1.2.0.7 = 1.2.0: a fourth field is ignored") << "1.2.0.7" << 1.0 << 2.0 << 0.0 << true;
    QTest::newRow("1.1.9 against 1.2.0: lower differs") << "1.1.9" << 1.0 << 2.0 << 0.0 << false;
    QTest::newRow("2.0.0 against 1.9.9") << "2.0.0" << 1.0 << 9.0 << 9.0 << false;
    QTest::newRow("2.9.9 against 1.9.9: major alone decides") << "2.9.9" << 1.0 << 9.0 << 9.0 << false;
    QTest::newRow("1.2.1 against 1.2.0") << "1.2.1" << 1.0 << 2.0 << 0.0 << false;
    QTest::newRow("1.10.0 against 1.1.0") << "1.10.0" << 1.0 << 1.0 << 0.0 << false;
    QTest::newRow("leading zeros") << "01.02.00" << 1.0 << 2.0 << 0.0 << true;
    QTest::newRow("a field read as the number it begins with") << "1.2rc.0beta" << 1.0 << 2.0 << 0.0 << true;
    QTest::newRow("a field that begins with a letter reads 0") << "v1.2.0" << 0.0 << 2.0 << 0.0 << true;
    QTest::newRow("commas are no separators") << "1,2,0" << 1.0 << 2.0 << 0.0 << false;
    QTest::newRow("empty against 0.0.0") << "" << 0.0 << 0.0 << 0.0 << true;
    QTest::newRow("empty against 1.1.0") << "" << 1.0 << 1.0 << 0.0 << false;
    QTest::newRow("huge number") << "1e999.1.0" << 1.0 << 1.0 << 0.0 << false;
  }
  void comparesVersions() {
    QFETCH(QString, feed);
    QFETCH(double, major);
    QFETCH(double, minor);
    QFETCH(double, bug);
    QTEST(FeedVersionIsCurrent(feed.toStdString(), major, minor, bug), "current");
  }

  void readsElements_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "<Free>Yes</Free>" << "Free" << "Yes";
    QTest::newRow("anywhere in the text") << "junk <a>1</a> junk" << "a" << "1";
    QTest::newRow("blanks and line breaks kept") << "<a>\n  x y \r\n</a>" << "a" << "\n  x y \r\n";
    QTest::newRow("entities not decoded") << "<a>&lt;b&gt;</a>" << "a" << "&lt;b&gt;";
    QTest::newRow("empty element") << "<a></a>" << "a" << "";
    QTest::newRow("first of two") << "<a>1</a><a>2</a>" << "a" << "1";
    QTest::newRow("nesting is not understood") << "<a><a>x</a></a>" << "a" << "<a>x";
    QTest::newRow("tags in any letter case") << "<A>x</a>" << "a" << "x";
    QTest::newRow("positions count characters") << "\u00e9\u00e9<a>\u00fc\u00df</a>" << "a" << "\u00fc\u00df";
    QTest::newRow("start tag absent") << "1.2.0</a>" << "a" << "";
    QTest::newRow("end tag absent") << "<a>1.2.0" << "a" << "";
    QTest::newRow("end tag only before the start") << "</a>zz<a>1.2.0" << "a" << "";
    QTest::newRow("start tag at the very end") << "x<a>" << "a" << "";
    QTest::newRow("attributes are not a start tag") << "<a id=\"1\">x</a>" << "a" << "";
    QTest::newRow("empty source") << "" << "a" << "";
  }
  void readsElements() {
    QFETCH(QString, source);
    QFETCH(QString, name);
    QTEST(QString::fromStdString(FeedReturnValue(source.toStdString(), name.toStdString())), "value");
  }

  void freeFlag_data() {
    QTest::addColumn<QByteArray>("free");
    QTest::addColumn<bool>("isFree");
    QTest::newRow("Yes") << QByteArray("Yes") << true;
    QTest::newRow("yes") << QByteArray("yes") << true;
    QTest::newRow("YES") << QByteArray("YES") << true;
    QTest::newRow("blank before") << QByteArray(" Yes") << false;
    QTest::newRow("blank after") << QByteArray("Yes ") << false;
    QTest::newRow("No") << QByteArray("No") << false;
    QTest::newRow("empty") << QByteArray("") << false;
  }
  void freeFlag() {
    QFETCH(QByteArray, free);
    QFETCH(bool, isFree);
    UpdateTestServer server({S::Await(), S::Silence()});
    SetWebSiteHostForTesting(server.Host());
    updateWindow& w = StartCheck();
    w.hp_PageReceived(w.hp(), UpdateFeedURL(), 200, InternetHeaders(), Feed("1.2.0", free).toStdString());
    QCOMPARE(f->dialogs.dialogs.size(), size_t(1));
    QCOMPARE(f->dialogs.dialogs[0].Message, UpgradeMessage("1.2.0", isFree));
  }

  void emptyBodyOnlyClosesTheWindow() {
    UpdateTestServer server({S::Await(), S::Silence()});
    SetWebSiteHostForTesting(server.Host());
    updateWindow& w = StartCheck();
    QVERIFY(AppInstance().HandleMenuCommand("CheckforUpdateCheckNow"));  // opened again meanwhile
    w.hp_PageReceived(w.hp(), UpdateFeedURL(), 200, InternetHeaders(), "");
    QVERIFY(!OpenUpdateWindow());
    QVERIFY(OpenVersionWindow());  // left alone on this road
    QVERIFY(f->dialogs.events.empty());
  }

  // ---- The upgrade dialog

  void upgradeDialogShowsTheFeed() {
    QFile file(QString::fromLocal8Bit(qgetenv("SERVALO_TEST_DATA")) + "/update/servalo.xml");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray feed = file.readAll();
    UpdateTestServer server({S::Await(), S::Write(Answer(feed)), S::Hangup()});
    SetWebSiteHostForTesting(server.Host());
    StartCheck();
    QVERIFY(WaitForAnEnd());
    QCOMPARE(f->dialogs.dialogs.size(), size_t(1));
    const MessageDialog& d = f->dialogs.dialogs[0];
    QCOMPARE(d.Title, kDialogTitle);
    QCOMPARE(d.Message,
             std::string("Version 1.2.0 is now available. (You are using version 1.1.0.) This is a free upgrade. "
                         "Would you like to automatically download this update (using your web browser)?"));
    QCOMPARE(d.Explanation, std::string("\n    Tables can now be called in pairs.\n    Fixes:  the announcement "
                                        "window keeps its place.\n  "));
    QCOMPARE(d.Icon, 3);
    QVERIFY(d.ActionButton.Visible);
    QCOMPARE(d.ActionButton.Caption, MessageDialog().ActionButton.Caption);  // the platform's own
    QVERIFY(d.CancelButton.Visible);
    QCOMPARE(d.CancelButton.Caption, MessageDialog().CancelButton.Caption);
    QVERIFY(d.AlternateActionButton.Visible);
    QCOMPARE(d.AlternateActionButton.Caption, std::string("Go to Website"));
  }

  void paidUpgradeMessage() {
    UpdateTestServer server({S::Await(), S::Write(Answer(Feed("1.2.0", "No", ""))), S::Hangup()});
    SetWebSiteHostForTesting(server.Host());
    StartCheck();
    QVERIFY(WaitForAnEnd());
    QCOMPARE(f->dialogs.dialogs.size(), size_t(1));
    QCOMPARE(f->dialogs.dialogs[0].Message,
             std::string("Version 1.2.0 is now available. (You are using version 1.1.0.) This is a paid upgrade. "
                         "Would you like to automatically download the trial version (using your web browser)?"));
    QCOMPARE(f->dialogs.dialogs[0].Explanation, std::string());
  }

  void upgradeDialogButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("url");  // what opens: "download", "root" or ""
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("cancel") << "cancel" << "" << false;
    QTest::newRow("action: download, then close") << "action" << "download" << false;
    QTest::newRow("Go to Website") << "alternate" << "root" << true;
  }
  void upgradeDialogButtons() {
    QFETCH(QString, button);
    QFETCH(QString, url);
    QFETCH(bool, staysOpen);
    WatchingUrlOpener opener;
    UpdateTestServer server({S::Await(), S::Write(Answer(Feed("1.2.0", "Yes"))), S::Hangup()});
    SetWebSiteHostForTesting(server.Host());
    f->dialogs.answer = [&](MessageDialog& d) -> MessageDialogButton* {
      if (button == "action") return &d.ActionButton;
      if (button == "alternate") return &d.AlternateActionButton;
      return &d.CancelButton;
    };
    updateWindow& w = StartCheck();
    QVERIFY(WaitForAnEnd());
    Settle();
    QCOMPARE(f->dialogs.events, std::vector<std::string>{"dialog:" + kDialogTitle});
    std::vector<std::string> opened;
    if (url == "download") opened = {"http://" + server.Host() + "/download"};
    if (url == "root") opened = {"http://" + server.Host()};
    QCOMPARE(opener.urls, opened);
    if (!opened.empty()) QCOMPARE(opener.updateWindowOpen, std::vector<bool>{true});
    QCOMPARE(OpenUpdateWindow() != nullptr, staysOpen);
    QVERIFY(!OpenVersionWindow());
    if (!staysOpen) return;
    // As the feed reading left it; its Cancel still closes it.
    QCOMPARE(w.StaticText1().Text(), std::string("Checking for update..."));
    QVERIFY(!w.ProgressBar1().Visible());
    QVERIFY(!w.hp().Busy());
    w.PushButton1().Push();
    QVERIFY(!OpenUpdateWindow());
    QCOMPARE(f->dialogs.events.size(), size_t(1));
  }

  void webSiteAddresses() {
    SetWebSiteHostForTesting("127.0.0.1:8080");
    QCOMPARE(UpdateFeedURL(), std::string("http://127.0.0.1:8080/Updates/servalo.xml"));
    QCOMPARE(WebSiteRootURL(), std::string("http://127.0.0.1:8080"));
    QCOMPARE(DownloadURL(), std::string("http://127.0.0.1:8080/download"));
    SetWebSiteHostForTesting("");
    QVERIFY(WebSiteHost() != "127.0.0.1:8080");
    QCOMPARE(UpdateFeedURL(), "http://" + WebSiteHost() + "/Updates/servalo.xml");
  }

  // The desktop's dialog shows its texts as written, and answers with the
  // button that was pressed.
  void desktopDialogShowsTextAsWritten_data() {
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("answer");
    QTest::newRow("action button") << "OK" << "action";
    QTest::newRow("Go to Website") << "Go to Website" << "alternate";
    QTest::newRow("cancel button") << "Cancel" << "cancel";
    QTest::newRow("Escape") << "" << "cancel";
  }
  void desktopDialogShowsTextAsWritten() {
    QFETCH(QString, press);
    QFETCH(QString, answer);
    MessageDialog d;
    d.Title = kDialogTitle;
    d.Message = "Version <b>2</b> &amp; more";
    d.Explanation = "Line one\r\n  Line <i>two</i>   with  runs\nthird\rlast  ";
    d.CancelButton.Visible = true;
    d.AlternateActionButton.Caption = "Go to Website";
    d.AlternateActionButton.Visible = true;
    ShownText message, explanation;
    MessageDialogButton* pressed = nullptr;
    WithDesktopDialog(
        press,
        [&](QDialog* dialog) {
          message = Shown(dialog, "Version");
          explanation = Shown(dialog, "Line one");
        },
        [&] { pressed = d.ShowModal(); });
    QCOMPARE(message.text, QString("Version <b>2</b> &amp; more"));
    QCOMPARE(explanation.text, QString("Line one\n  Line <i>two</i>   with  runs\nthird\nlast  "));
    MessageDialogButton* expected = &d.CancelButton;
    if (answer == "action") expected = &d.ActionButton;
    if (answer == "alternate") expected = &d.AlternateActionButton;
    QCOMPARE(pressed, expected);
  }

  // The upgrade dialog as the feed reading shows it: the whole message and
  // the whole explanation readable, the message wrapped at blanks, the
  // dialog inside the screen.
  void upgradeDialogFitsTheScreen_data() {
    QTest::addColumn<bool>("free");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("free, short") << true << QByteArray("Fixes.") << false;
    QTest::newRow("paid, short, with markup") << false << QByteArray("Fixes: <b>two</b>  bugs &amp; more.\n  Indented.")
                                              << false;
    QByteArray oneLine;
    for (int i = 0; i < 60; ++i) oneLine += "word" + QByteArray::number(i) + " ";
    oneLine += "http://www.servalo.example/" + QByteArray(300, 'x') + " end";
    QTest::newRow("paid, long one-line description") << false << oneLine << false;
    QTest::newRow("free, 200-line description") << true << NumberedLines(200) << true;
  }
  void upgradeDialogFitsTheScreen() {
    QFETCH(bool, free);
    QFETCH(QByteArray, description);
    QFETCH(bool, scrolls);
    UpdateTestServer server({S::Await(), S::Silence()});
    SetWebSiteHostForTesting(server.Host());
    updateWindow& w = StartCheck();
    QRect screen, frame, inside;
    ShownText message, explanation;
    WithDesktopDialog(
        "Cancel",
        [&](QDialog* dialog) {
          screen = dialog->screen()->availableGeometry();
          frame = dialog->frameGeometry();
          inside = dialog->rect();
          message = Shown(dialog, "Version");
          explanation = Shown(dialog, QString::fromUtf8(description.left(4)));
        },
        [&] {
          w.hp_PageReceived(w.hp(), UpdateFeedURL(), 200, InternetHeaders(),
                            Feed("1.2.0", free ? "Yes" : "No", description).toStdString());
        });
    QVERIFY(!OpenUpdateWindow());  // its Cancel was pressed

    QVERIFY2(screen.contains(frame), qPrintable(QString("dialog at %1,%2 %3 x %4")
                                                    .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
    QCOMPARE(message.text, QString::fromStdString(UpgradeMessage("1.2.0", free)));
    QVERIFY2(message.needs.width() <= message.shown.width(),
             qPrintable(QString("needs %1, has %2").arg(message.needs.width()).arg(message.shown.width())));
    QVERIFY(message.needs.height() <= message.shown.height());
    QVERIFY(inside.contains(message.shown));
    QVERIFY(message.lines.size() > 1);
    for (int i = 0; i + 1 < message.lines.size(); ++i)
      QVERIFY2(message.lines[i].endsWith(' '), qPrintable(message.lines[i]));

    QCOMPARE(explanation.text, QString::fromUtf8(description));
    QVERIFY(explanation.needs.width() <= explanation.shown.width());
    QVERIFY(inside.contains(explanation.shown));
    QCOMPARE(explanation.scrolls, scrolls);
    if (!scrolls) QVERIFY(explanation.needs.height() <= explanation.shown.height());
  }

  // ---- The error road

  void errorRoad() {
    const quint16 port = UpdateTestServer::UnusedPort();
    SetWebSiteHostForTesting("127.0.0.1:" + std::to_string(port));
    StartCheck();
    // The operator opens the version window again while the check runs.
    QVERIFY(AppInstance().HandleMenuCommand("CheckforUpdateCheckNow"));
    bool openAtMessage = false;
    f->dialogs.onMsgBox = [&](const std::string&) { openAtMessage = OpenUpdateWindow() != nullptr; };
    QVERIFY(WaitForAnEnd());
    Settle();
    QCOMPARE(f->dialogs.events, (std::vector<std::string>{"beep", "msgbox:" + ErrorMessage("103")}));
    QVERIFY(openAtMessage);
    QVERIFY(!OpenUpdateWindow());
    QVERIFY(!OpenVersionWindow());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), NativeOf(Window1Instance()), 10000);
    QVERIFY(!QApplication::activeModalWidget());
  }

  void errorMessageForACode_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("102") << 102 << QString::fromStdString(ErrorMessage("102"));
    QTest::newRow("negative") << -7 << QString::fromStdString(ErrorMessage("-7"));
    // No later try can help: the message does not ask for one.
    QTest::newRow("no network support") << 106 << QString::fromStdString(kNoNetworkMessage);
  }
  void errorMessageForACode() {
    QFETCH(int, code);
    QFETCH(QString, message);
    UpdateTestServer server({S::Await(), S::Silence()});
    SetWebSiteHostForTesting(server.Host());
    updateWindow& w = StartCheck();
    w.hp_Error(w.hp(), code);
    QCOMPARE(f->dialogs.events, (std::vector<std::string>{"beep", "msgbox:" + message.toStdString()}));
    QVERIFY(!OpenUpdateWindow());
  }

  // A network module that cannot be loaded ends the check in the error
  // road, with a message that says checking is not available.
  void missingNetworkSupport() {
    const std::string modules = RuntimeModuleFolder();
    QTemporaryDir empty;
    RuntimeSetModuleFolder(empty.path().toStdString());
    const auto restore = qScopeGuard([&] { RuntimeSetModuleFolder(modules); });
    UpdateTestServer server({S::Await(), S::Write(Answer(Feed("1.2.0"))), S::Hangup()});
    SetWebSiteHostForTesting(server.Host());
    StartCheck();
    QVERIFY(OpenUpdateWindow());  // the failure comes from the event loop
    QVERIFY(f->dialogs.events.empty());
    QVERIFY(WaitForAnEnd());
    Settle();
    QCOMPARE(f->dialogs.events, (std::vector<std::string>{"beep", "msgbox:" + kNoNetworkMessage}));
    QVERIFY(!OpenUpdateWindow());
    QVERIFY(!OpenVersionWindow());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), NativeOf(Window1Instance()), 10000);
    QCOMPARE(server.Connections(), 0);
  }

  // A default build names a host that never resolves.
  void defaultHostEndsInTheErrorRoad() {
    if (WebSiteHost() != "www.servalo.example") QSKIP("built for a live web site");
    StartCheck();
    QVERIFY(WaitForAnEnd());
    QCOMPARE(f->dialogs.events, (std::vector<std::string>{"beep", "msgbox:" + ErrorMessage("102")}));
  }

  // ---- Cancel and the close box

  void closingWhileWaiting_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close box") << "closebox";
  }
  void closingWhileWaiting() {
    QFETCH(QString, how);
    // After the close the server answers all the same.
    UpdateTestServer server({S::Await(), S::Wait(300), S::Write(Answer(Feed("1.2.0"))), S::Hangup()});
    SetWebSiteHostForTesting(server.Host());
    updateWindow& w = StartCheck();
    QTRY_VERIFY_WITH_TIMEOUT(!server.Received().isEmpty(), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), NativeOf(w), 10000);
    if (how == "cancel") w.PushButton1().Push();
    if (how == "escape") QTest::keyClick(NativeOf(w), Qt::Key_Escape);
    if (how == "closebox") NativeOf(w)->close();
    QVERIFY(!OpenUpdateWindow());
    QTRY_VERIFY_WITH_TIMEOUT(server.ClientHungUp(), 30000);
    QTest::qWait(500);
    QVERIFY(f->dialogs.events.empty());
    QVERIFY(!OpenVersionWindow());
  }
};

SERVALO_TEST_MAIN(TestUpdate)
#include "tst_update.moc"
