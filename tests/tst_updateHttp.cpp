// The HTTP/1.0 client: URLs, the request on the wire, reading answers of
// every shape, and the one event per request over real sockets.
#include <QtTest>

#include "TestMain.h"
#include "UpdateTestServer.h"
#include "platform/Application.h"
#include "platform/Design.h"
#include "platform/HTTPSocket.h"
#include "platform/Window.h"
#include "platform/testing/TestRuntime.h"

Q_DECLARE_METATYPE(std::vector<ServerStep>)

namespace {

struct SocketEvent {
  std::string kind;  // "page" or "error"
  std::string url;
  int32_t status = 0;
  std::string headers;
  std::string body;
  int32_t code = 0;
};

// Outlives the windows, which the platform discards.
std::vector<SocketEvent>& Log() {
  static std::vector<SocketEvent> log;
  return log;
}

std::string Flatten(const InternetHeaders& h) {
  std::string out;
  for (int32_t i = 0; i < h.Count(); ++i) out += h.Name(i) + ": " + h.ValueAt(i) + "|";
  return out;
}

class SocketWindow : public Window {
 public:
  std::string ClassName() const override { return "SocketWindow"; }
  void Layout() override {
    RuntimeMassPropertySetter(*this, DesignBlock().Text("Title", "Socket").Bool("Visible", false));
  }
  void CreateControls() override {
    AddControl(New<::HTTPSocket>(), "hp");
    RuntimeAddEventHandler(ControlByName("hp"), "PageReceived",
                           RuntimeCreateDelegate(this, &SocketWindow::hp_PageReceived,
                                                 "( HTTPSocket, String, Integer, InternetHeaders, String )"));
    RuntimeAddEventHandler(ControlByName("hp"), "Error",
                           RuntimeCreateDelegate(this, &SocketWindow::hp_Error, "( HTTPSocket, Integer )"));
  }
  HTTPSocket& hp() { return ControlCast<::HTTPSocket>(ControlByName("hp")); }
  void hp_PageReceived(HTTPSocket&, const std::string& url, int32_t status, const InternetHeaders& headers,
                       const std::string& body) {
    Log().push_back({"page", url, status, Flatten(headers), body, 0});
  }
  void hp_Error(HTTPSocket&, int32_t code) { Log().push_back({"error", "", 0, "", "", code}); }
};

SocketWindow& OpenSocketWindow() { return RuntimeWindowInstance<SocketWindow>(); }

std::string FeedURL(const UpdateTestServer& server) { return "http://" + server.Host() + "/Updates/servalo.xml"; }

// Lets the event loop run for a while, so that a second event would show.
void Settle() { QTest::qWait(150); }

QString EndName(HTTPAnswerEnd end) {
  switch (end) {
    case HTTPAnswerEnd::Open: return "open";
    case HTTPAnswerEnd::Whole: return "whole";
    case HTTPAnswerEnd::Nothing: return "nothing";
    case HTTPAnswerEnd::HeadCutShort: return "head cut short";
    case HTTPAnswerEnd::BodyCutShort: return "body cut short";
    case HTTPAnswerEnd::HeadTooLarge: return "head too large";
  }
  return "?";
}

struct ReadResult {
  bool completeEarly = false;
  QString end;
  int32_t status = 0;
  std::string headers, body;
  bool cut = false;
  bool operator==(const ReadResult&) const = default;
};

ReadResult Read(const QByteArray& input, size_t bodyCap, size_t piece) {
  HTTPAnswerReader reader(bodyCap);
  ReadResult r;
  for (qsizetype at = 0; at < input.size(); at += qsizetype(piece)) {
    const QByteArray part = input.mid(at, qsizetype(piece));
    if (reader.Feed(std::string_view(part.constData(), size_t(part.size())))) r.completeEarly = true;
  }
  reader.Finish();
  r.end = EndName(reader.End());
  r.status = reader.StatusCode();
  r.headers = Flatten(reader.Headers());
  r.body = reader.Body();
  r.cut = reader.Cut();
  return r;
}

// An answer whose head, from the status line to the empty line, is size
// bytes long.
QByteArray AnswerWithHeadOf(size_t size, const QByteArray& body) {
  const QByteArray start = "HTTP/1.0 200 OK\r\nX: ";
  const QByteArray end = "\r\n\r\n";
  return start + QByteArray(qsizetype(size) - start.size() - end.size(), 'a') + end + body;
}

}  // namespace

class TestUpdateHttp : public QObject {
  Q_OBJECT

 private slots:
  void init() { Log().clear(); }
  void cleanup() {
    RuntimeProcessEvents();  // closed windows go first, from the event loop
    RuntimeDiscardAllWindows();
  }

  void splitsURL_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("defaultPort");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("hostHeader");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("path");
    QTest::newRow("feed, no port: 80") << "http://www.servalo.example/Updates/servalo.xml" << 0 << true
                                       << "www.servalo.example" << "www.servalo.example" << 80
                                       << "/Updates/servalo.xml";
    QTest::newRow("port after a colon") << "http://127.0.0.1:8080/Updates/servalo.xml" << 0 << true << "127.0.0.1"
                                        << "127.0.0.1:8080" << 8080 << "/Updates/servalo.xml";
    QTest::newRow("socket's own port") << "http://h/x" << 81 << true << "h" << "h" << 81 << "/x";
    QTest::newRow("URL's port wins") << "http://h:82/x" << 81 << true << "h" << "h:82" << 82 << "/x";
    QTest::newRow("nothing after the host") << "http://h" << 0 << true << "h" << "h" << 80 << "/";
    QTest::newRow("empty port") << "http://h:/x" << 0 << true << "h" << "h:" << 80 << "/x";
    QTest::newRow("scheme in capitals") << "HTTP://h/" << 0 << true << "h" << "h" << 80 << "/";
    QTest::newRow("IPv6 literal") << "http://[::1]:81/x" << 0 << true << "::1" << "[::1]:81" << 81 << "/x";
    QTest::newRow("https") << "https://h/x" << 0 << false << "" << "" << 0 << "";
    QTest::newRow("no scheme") << "h/x" << 0 << false << "" << "" << 0 << "";
    QTest::newRow("no host") << "http:///x" << 0 << false << "" << "" << 0 << "";
    QTest::newRow("port 0") << "http://h:0/x" << 0 << false << "" << "" << 0 << "";
    QTest::newRow("port too large") << "http://h:65536/x" << 0 << false << "" << "" << 0 << "";
    QTest::newRow("port not a number") << "http://h:8o/x" << 0 << false << "" << "" << 0 << "";
    QTest::newRow("credentials") << "http://u:p@h/x" << 0 << false << "" << "" << 0 << "";
    QTest::newRow("blank in path") << "http://h/a b" << 0 << false << "" << "" << 0 << "";
    QTest::newRow("line break in path") << "http://h/x\r\nX-Evil: 1" << 0 << false << "" << "" << 0 << "";
  }
  void splitsURL() {
    QFETCH(QString, url);
    QFETCH(int, defaultPort);
    QFETCH(bool, ok);
    HTTPTarget t;
    QCOMPARE(SplitHTTPURL(url.toStdString(), defaultPort, t), ok);
    if (!ok) return;
    QTEST(QString::fromStdString(t.host), "host");
    QTEST(QString::fromStdString(t.hostHeader), "hostHeader");
    QTEST(int(t.port), "port");
    QTEST(QString::fromStdString(t.path), "path");
  }

  void readsAnswers_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("bodyCap");
    QTest::addColumn<bool>("completeEarly");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("headers");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("cut");
    const int cap = int(kHTTPBodyCap);
    QTest::newRow("content-length") << QByteArray("HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 5\r\n\r\nhello")
                                    << cap << true << "whole" << 200
                                    << QByteArray("Content-Type: text/xml|Content-Length: 5|") << QByteArray("hello")
                                    << false;
    QTest::newRow("length shorter than sent") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nhello") << cap
                                              << true << "whole" << 200 << QByteArray("Content-Length: 3|")
                                              << QByteArray("hel") << false;
    // The connection ended before the length was reached: not whole.
    QTest::newRow("length longer, then close") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhello")
                                               << cap << false << "body cut short" << 200
                                               << QByteArray("Content-Length: 10|") << QByteArray("hello") << false;
    QTest::newRow("no length: until close") << QByteArray("HTTP/1.0 200 OK\r\n\r\nhello\r\nworld") << cap << false
                                            << "whole" << 200 << QByteArray() << QByteArray("hello\r\nworld") << false;
    QTest::newRow("negative length") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: -3\r\n\r\nhello") << cap
                                     << false << "whole" << 200 << QByteArray("Content-Length: -3|")
                                     << QByteArray("hello") << false;
    QTest::newRow("rubbish length") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 3x\r\n\r\nhello") << cap
                                    << false << "whole" << 200 << QByteArray("Content-Length: 3x|")
                                    << QByteArray("hello") << false;
    QTest::newRow("lengths that disagree")
        << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 3\r\ncontent-length: 4\r\n\r\nhello") << cap << false
        << "whole" << 200 << QByteArray("Content-Length: 3|content-length: 4|") << QByteArray("hello") << false;
    QTest::newRow("lengths that agree")
        << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 3\r\nCONTENT-LENGTH: 3\r\n\r\nhello") << cap << true
        << "whole" << 200 << QByteArray("Content-Length: 3|CONTENT-LENGTH: 3|") << QByteArray("hel") << false;
    QTest::newRow("zero length") << QByteArray("HTTP/1.0 204 No Content\r\nContent-Length: 0\r\n\r\nextra") << cap
                                 << true << "whole" << 204 << QByteArray("Content-Length: 0|") << QByteArray() << false;
    QTest::newRow("bare LF") << QByteArray("HTTP/1.0 404 Not Found\nServer: x\n\nline\nline") << cap << false << "whole"
                             << 404 << QByteArray("Server: x|") << QByteArray("line\nline") << false;
    QTest::newRow("garbage status line") << QByteArray("NONSENSE\r\nServer: x\r\n\r\nbody") << cap << false << "whole"
                                         << 0 << QByteArray("Server: x|") << QByteArray("body") << false;
    QTest::newRow("status without reason") << QByteArray("HTTP/1.1 500\r\n\r\n") << cap << false << "whole" << 500
                                           << QByteArray() << QByteArray() << false;
    QTest::newRow("status of four digits") << QByteArray("HTTP/1.0 2000 OK\r\n\r\nx") << cap << false << "whole" << 0
                                           << QByteArray() << QByteArray("x") << false;
    // A head that never ended is no answer, though what it told is kept.
    QTest::newRow("status line cut short") << QByteArray("HTTP/1.0 20") << cap << false << "head cut short" << 0
                                           << QByteArray() << QByteArray() << false;
    QTest::newRow("headers without their end") << QByteArray("HTTP/1.0 200 OK\r\nServer: x") << cap << false
                                               << "head cut short" << 200 << QByteArray("Server: x|") << QByteArray()
                                               << false;
    QTest::newRow("nothing at all") << QByteArray() << cap << false << "nothing" << 0 << QByteArray() << QByteArray()
                                    << false;
    QTest::newRow("chunked stays raw")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n") << cap << false
        << "whole" << 200 << QByteArray("Transfer-Encoding: chunked|") << QByteArray("5\r\nhello\r\n0\r\n\r\n")
        << false;
    QTest::newRow("folded and odd header lines")
        << QByteArray("HTTP/1.0 200 OK\r\nX-A:   one  \r\n\t two\r\nno colon here\r\n:empty name\r\n\r\n") << cap
        << false << "whole" << 200 << QByteArray("X-A: one two|: empty name|") << QByteArray() << false;
    QTest::newRow("body cut at the cap") << QByteArray("HTTP/1.0 200 OK\r\n\r\n0123456789") << 8 << true << "whole"
                                         << 200 << QByteArray() << QByteArray("01234567") << true;
    QTest::newRow("length beyond the cap") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n0123456789")
                                           << 8 << true << "whole" << 200 << QByteArray("Content-Length: 10|")
                                           << QByteArray("01234567") << true;
    QTest::newRow("length equal to the cap") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 8\r\n\r\n01234567")
                                             << 8 << true << "whole" << 200 << QByteArray("Content-Length: 8|")
                                             << QByteArray("01234567") << false;
    // The head may be as large as the body's cap.
    QTest::newRow("head as large as the body's cap")
        << AnswerWithHeadOf(kHTTPBodyCap, "body") << cap << false << "whole" << 200
        << QByteArray("X: " + QByteArray(cap - 24, 'a') + "|") << QByteArray("body") << false;
    QTest::newRow("head one byte larger") << AnswerWithHeadOf(kHTTPBodyCap + 1, "body") << cap << true
                                          << "head too large" << 200
                                          << QByteArray("X: " + QByteArray(cap - 23, 'a') + "|") << QByteArray()
                                          << false;
  }
  // Fed whole, byte by byte and in odd pieces, an answer reads the same.
  void readsAnswers() {
    QFETCH(QByteArray, input);
    QFETCH(int, bodyCap);
    const ReadResult whole = Read(input, size_t(bodyCap), size_t(input.size()) + 1);
    QTEST(whole.completeEarly, "completeEarly");
    QTEST(whole.end, "end");
    QTEST(whole.status, "status");
    QTEST(QByteArray::fromStdString(whole.headers), "headers");
    QTEST(QByteArray::fromStdString(whole.body), "body");
    QTEST(whole.cut, "cut");
    for (size_t piece : {1, 2, 7}) {
      const std::string what = "read differently in pieces of " + std::to_string(piece);
      QVERIFY2(Read(input, size_t(bodyCap), piece) == whole, what.c_str());
    }
  }

  void requestBytes() {
    HTTPTarget t;
    QVERIFY(SplitHTTPURL("http://www.servalo.example/Updates/servalo.xml", 0, t));
    QCOMPARE(QByteArray::fromStdString(HTTPRequestBytes(t)),
             QByteArray("GET /Updates/servalo.xml HTTP/1.0\r\nHost: www.servalo.example\r\nAccept: */*\r\n"
                        "Accept-Language: en\r\n\r\n"));
  }

  // Each behaviour of the server ends in exactly one event.
  void oneEventPerRequest_data() {
    QTest::addColumn<bool>("listening");
    QTest::addColumn<std::vector<ServerStep>>("script");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("statusOrCode");
    QTest::addColumn<QByteArray>("body");
    const QByteArray answer = "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n<a>1</a>";
    using S = ServerStep;
    QTest::newRow("nothing listening") << false << std::vector<S>{} << "error" << int(kHTTPErrorConnectionRefused)
                                       << QByteArray();
    QTest::newRow("closed at once") << true << std::vector<S>{S::Hangup()} << "page" << 0 << QByteArray();
    QTest::newRow("answer, then close") << true << std::vector<S>{S::Await(), S::Write(answer), S::Hangup()}
                                        << "page" << 200 << QByteArray("<a>1</a>");
    // The status code reaches the page's handler, which tells a feed from a
    // failure with it.
    QTest::newRow("404 page") << true
                              << std::vector<S>{S::Await(), S::Write("HTTP/1.0 404 Not Found\r\n\r\nNo such page"),
                                                S::Hangup()}
                              << "page" << 404 << QByteArray("No such page");
    QTest::newRow("no status line") << true << std::vector<S>{S::Await(), S::Write("garbage\r\n\r\nmore"), S::Hangup()}
                                    << "page" << 0 << QByteArray("more");
    // An answer that began but did not arrive whole is never a page.
    QTest::newRow("close before the content-length")
        << true
        << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n<a>partial"),
                          S::Hangup()}
        << "error" << int(kHTTPErrorBodyCutShort) << QByteArray();
    QTest::newRow("close inside the head") << true
                                           << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\nContent-Ty"),
                                                             S::Hangup()}
                                           << "error" << int(kHTTPErrorHeadCutShort) << QByteArray();
    QTest::newRow("reset after some of the body")
        << true << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\n\r\n<a>partial"), S::Wait(50), S::Break()}
        << "error" << int(kHTTPErrorConnectionBroken) << QByteArray();
    QTest::newRow("reset before the content-length")
        << true
        << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n<a>partial"),
                          S::Wait(50), S::Break()}
        << "error" << int(kHTTPErrorConnectionBroken) << QByteArray();
    QTest::newRow("reset inside the head")
        << true << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\n"), S::Wait(50), S::Break()} << "error"
        << int(kHTTPErrorConnectionBroken) << QByteArray();
    QTest::newRow("head beyond its cap")
        << true
        << std::vector<S>{S::Await(), S::Write("HTTP/1.0 200 OK\r\nX: " + QByteArray(int(kHTTPBodyCap), 'a')),
                          S::Silence()}
        << "error" << int(kHTTPErrorHeadTooLarge) << QByteArray();
    // A server that sends nothing at all ends the request as one that
    // closed: the empty page.
    QTest::newRow("reset before any answer") << true << std::vector<S>{S::Await(), S::Break()} << "page" << 0
                                             << QByteArray();
    QTest::newRow("trickle") << true << std::vector<S>{S::Await(), S::Drip(answer, 3, 5), S::Hangup()} << "page"
                             << 200 << QByteArray("<a>1</a>");
  }
  void oneEventPerRequest() {
    QFETCH(bool, listening);
    QFETCH(std::vector<ServerStep>, script);
    UpdateTestServer server(script);
    QVERIFY(server.Listening());
    const std::string host = listening ? server.Host() : "127.0.0.1:" + std::to_string(UpdateTestServer::UnusedPort());
    const std::string url = "http://" + host + "/Updates/servalo.xml";
    OpenSocketWindow().hp().Get(url);
    QVERIFY(OpenSocketWindow().hp().Busy());
    QVERIFY(Log().empty());  // never from inside Get
    QTRY_VERIFY_WITH_TIMEOUT(!Log().empty(), 30000);
    Settle();
    QCOMPARE(Log().size(), size_t(1));
    QTEST(QString::fromStdString(Log()[0].kind), "kind");
    QFETCH(QString, kind);
    if (kind == "error") {
      QTEST(int(Log()[0].code), "statusOrCode");
    } else {
      QCOMPARE(Log()[0].url, url);
      QTEST(int(Log()[0].status), "statusOrCode");
      QTEST(QByteArray::fromStdString(Log()[0].body), "body");
    }
    QVERIFY(!OpenSocketWindow().hp().Busy());
  }

  void sendsExactlyTheRequest() {
    UpdateTestServer server({ServerStep::Await(), ServerStep::Hangup()});
    OpenSocketWindow().hp().Get(FeedURL(server));
    QTRY_COMPARE_WITH_TIMEOUT(Log().size(), size_t(1), 30000);
    QCOMPARE(server.Received(), QByteArray("GET /Updates/servalo.xml HTTP/1.0\r\nHost: " +
                                           QByteArray::fromStdString(server.Host()) +
                                           "\r\nAccept: */*\r\nAccept-Language: en\r\n\r\n"));
    QCOMPARE(OpenSocketWindow().hp().Address(), std::string("127.0.0.1"));
    QCOMPARE(OpenSocketWindow().hp().Port(), int32_t(server.Port()));
  }

  // Without a port in the URL the socket's own Port is used.
  void usesTheSocketsPort() {
    UpdateTestServer server({ServerStep::Await(), ServerStep::Hangup()});
    RuntimeMassPropertySetter(OpenSocketWindow().hp(), DesignBlock().Int("Port", server.Port()));
    OpenSocketWindow().hp().Get("http://127.0.0.1/x");
    QTRY_COMPARE_WITH_TIMEOUT(Log().size(), size_t(1), 30000);
    QCOMPARE(Log()[0].kind, std::string("page"));
    QVERIFY(server.Received().startsWith("GET /x HTTP/1.0\r\nHost: 127.0.0.1\r\n"));
  }

  // The answer is complete at its content-length: the client closes,
  // though the server would keep the connection open.
  void closesAtTheContentLength() {
    UpdateTestServer server(
        {ServerStep::Await(), ServerStep::Write("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nokMORE"), ServerStep::Silence()});
    OpenSocketWindow().hp().Get(FeedURL(server));
    QTRY_COMPARE_WITH_TIMEOUT(Log().size(), size_t(1), 30000);
    QCOMPARE(Log()[0].body, std::string("ok"));
    QCOMPARE(Log()[0].headers, std::string("Content-Length: 2|"));
    QTRY_VERIFY_WITH_TIMEOUT(server.ClientHungUp(), 30000);
  }

  void cutsTheBodyAtOneMebibyte() {
    QByteArray body(int(kHTTPBodyCap) + 500000, 'x');
    body.replace(0, 3, "<a>");
    UpdateTestServer server({ServerStep::Await(), ServerStep::Write("HTTP/1.0 200 OK\r\n\r\n" + body), ServerStep::Silence()});
    OpenSocketWindow().hp().Get(FeedURL(server));
    QTRY_COMPARE_WITH_TIMEOUT(Log().size(), size_t(1), 60000);
    QCOMPARE(Log()[0].body.size(), kHTTPBodyCap);
    QCOMPARE(Log()[0].body.substr(0, 4), std::string("<a>x"));
    QTRY_VERIFY_WITH_TIMEOUT(server.ClientHungUp(), 30000);
    Settle();
    QCOMPARE(Log().size(), size_t(1));
  }

  void errorForAnAddressItCannotFetch() {
    OpenSocketWindow().hp().Get("ftp://127.0.0.1/x");
    QVERIFY(Log().empty());
    QTRY_COMPARE_WITH_TIMEOUT(Log().size(), size_t(1), 30000);
    QCOMPARE(Log()[0].kind, std::string("error"));
    QCOMPARE(Log()[0].code, int32_t(kHTTPErrorBadURL));
  }

  void errorForANameThatDoesNotResolve() {
    OpenSocketWindow().hp().Get("http://no-such-host.invalid/Updates/servalo.xml");
    QTRY_COMPARE_WITH_TIMEOUT(Log().size(), size_t(1), 60000);
    QCOMPARE(Log()[0].kind, std::string("error"));
    QCOMPARE(Log()[0].code, int32_t(kHTTPErrorNameNotResolved));
  }

  // Closing the window drops the connection, and nothing is raised after,
  // whether or not the answer had already arrived.
  void closingTheWindowAbandonsTheRequest_data() {
    QTest::addColumn<std::vector<ServerStep>>("script");
    QTest::newRow("while the server is silent") << std::vector<ServerStep>{ServerStep::Await(), ServerStep::Silence()};
    QTest::newRow("once the answer is out") << std::vector<ServerStep>{
        ServerStep::Await(), ServerStep::Write("HTTP/1.0 200 OK\r\n\r\n<a>1</a>"), ServerStep::Silence()};
  }
  void closingTheWindowAbandonsTheRequest() {
    QFETCH(std::vector<ServerStep>, script);
    UpdateTestServer server(script);
    OpenSocketWindow().hp().Get(FeedURL(server));
    QTRY_VERIFY_WITH_TIMEOUT(server.ScriptDone(), 30000);
    OpenSocketWindow().Close();
    QTRY_VERIFY_WITH_TIMEOUT(server.ClientHungUp(), 30000);
    Settle();
    QVERIFY(Log().empty());
  }

  // An event already due when the window closes is not raised either.
  void closingTheWindowDropsADueEvent() {
    OpenSocketWindow().hp().Get("ftp://127.0.0.1/x");  // its Error is due at once
    OpenSocketWindow().Close();
    Settle();
    QVERIFY(Log().empty());
  }
};

SERVALO_TEST_MAIN(TestUpdateHttp)
#include "tst_updateHttp.moc"
