#include "platform/HTTPSocket.h"

#include <QNetworkProxy>
#include <QObject>
#include <QTcpSocket>

#include "platform/Window.h"

namespace {

int32_t ErrorCode(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::HostNotFoundError: return kHTTPErrorNameNotResolved;
    case QAbstractSocket::ConnectionRefusedError: return kHTTPErrorConnectionRefused;
    case QAbstractSocket::NetworkError: return kHTTPErrorNetworkUnreachable;
    case QAbstractSocket::SocketTimeoutError: return kHTTPErrorTimedOut;
    default: return kHTTPErrorOther;
  }
}

}  // namespace

// One request at a time. The socket's signals and the queued events go
// through relay, so dropping the connection disconnects them all at once.
struct HTTPSocket::Request {
  enum class State { Idle, Connecting, Receiving, Done };

  explicit Request(HTTPSocket& socket) : owner(socket), relay(new QObject()) {}
  ~Request() {
    *alive = false;
    if (socket) {
      QObject::disconnect(socket, nullptr, relay, nullptr);
      socket->abort();
      delete socket;
    }
    // A handler of this socket may be what is closing the window: the
    // relay is still inside its event then, and must outlive it.
    if (delivering) relay->deleteLater();
    else delete relay;
  }

  bool WindowOpen() const { return owner.ParentWindow().IsOpen(); }

  void Start(const std::string& requestedURL, const HTTPTarget& target) {
    DeleteSocket();
    url = requestedURL;
    reader = HTTPAnswerReader();
    request = HTTPRequestBytes(target);
    state = State::Connecting;
    socket = new QTcpSocket();
    socket->setProxy(QNetworkProxy::NoProxy);
    QObject::connect(socket, &QTcpSocket::connected, relay, [this] { OnConnected(); });
    QObject::connect(socket, &QTcpSocket::readyRead, relay, [this] { OnReadyRead(); });
    QObject::connect(socket, &QTcpSocket::disconnected, relay, [this] { OnEnded(); });
    QObject::connect(socket, &QTcpSocket::errorOccurred, relay,
                     [this](QAbstractSocket::SocketError error) { OnError(error); });
    socket->connectToHost(QString::fromStdString(target.host), target.port);
  }

  void FailAtOnce(const std::string& requestedURL, int32_t code) {
    DeleteSocket();
    url = requestedURL;
    reader = HTTPAnswerReader();
    DeliverError(code);
  }

  void OnConnected() {
    if (state == State::Done) return;
    if (!WindowOpen()) return Abandon();
    state = State::Receiving;
    socket->write(request.data(), qint64(request.size()));
  }

  void OnReadyRead() {
    if (state == State::Done) return;
    if (!WindowOpen()) return Abandon();
    Take();
  }

  // The connection ended after it was established: what arrived is the page.
  void OnEnded() {
    if (state == State::Done) return;
    if (!WindowOpen()) return Abandon();
    Take();
    if (state == State::Done) return;
    reader.Finish();
    DeliverPage();
  }

  void OnError(QAbstractSocket::SocketError error) {
    if (state == State::Done) return;
    if (!WindowOpen()) return Abandon();
    // A close by the server comes as an error first; it, and any failure
    // once the connection stands, ends the page rather than the request.
    if (state == State::Receiving || error == QAbstractSocket::RemoteHostClosedError) return OnEnded();
    DeliverError(ErrorCode(error));
  }

  void Take() {
    const QByteArray bytes = socket->readAll();
    if (reader.Feed(std::string_view(bytes.constData(), size_t(bytes.size())))) DeliverPage();
  }

  // Stops the connection without deleting the socket, which may be the
  // one whose signal is running.
  void StopSocket() {
    state = State::Done;
    if (!socket) return;
    QObject::disconnect(socket, nullptr, relay, nullptr);
    socket->abort();
  }

  void DeleteSocket() {
    if (!socket) return;
    StopSocket();
    delete socket;
    socket = nullptr;
  }

  void Abandon() { StopSocket(); }

  void DeliverPage() {
    StopSocket();
    Queue([this] {
      const std::string pageURL = url;
      const int32_t status = reader.StatusCode();
      const InternetHeaders headers = reader.Headers();
      const std::string body = reader.Body();
      owner.RaiseEvent<HTTPSocket&, const std::string&, int32_t, const InternetHeaders&, const std::string&>(
          "PageReceived", owner, pageURL, status, headers, body);
    });
  }

  void DeliverError(int32_t code) {
    StopSocket();
    Queue([this, code] { owner.RaiseEvent<HTTPSocket&, int32_t>("Error", owner, code); });
  }

  // The event comes from the event loop, never from inside Get or a
  // socket signal, and only while the window is open.
  template <class F>
  void Queue(F raise) {
    pending = true;
    QMetaObject::invokeMethod(
        relay,
        [this, raise, token = alive] {
          if (!*token) return;
          pending = false;
          if (!WindowOpen()) return;
          delivering = true;
          raise();
          if (!*token) return;  // the handler discarded the window
          delivering = false;
        },
        Qt::QueuedConnection);
  }

  HTTPSocket& owner;
  QObject* relay;
  QTcpSocket* socket = nullptr;
  State state = State::Idle;
  std::string url, request;
  HTTPAnswerReader reader;
  std::shared_ptr<bool> alive = std::make_shared<bool>(true);
  bool pending = false, delivering = false;
};

HTTPSocket::HTTPSocket(Window& window)
    : ControlOf(window, "HTTPSocket"), request_(std::make_unique<Request>(*this)) {
  DeclareProperty("Address", PropKind::Text, [this](const PropValue& v) { address_ = std::get<std::string>(v); });
  DeclareProperty("Port", PropKind::Integer, [this](const PropValue& v) { port_ = std::get<int32_t>(v); });
  // No proxy is used and every request runs in the background; these are
  // accepted for the designs' sake.
  DeclareStored({"httpProxyAddress"}, PropKind::Text);
  DeclareStored({"httpProxyPort"}, PropKind::Integer);
  DeclareStored({"yield"}, PropKind::Boolean);
  DeclareEvent<HTTPSocket&, const std::string&, int32_t, const InternetHeaders&, const std::string&>(
      "PageReceived", "( HTTPSocket, String, Integer, InternetHeaders, String )");
  DeclareEvent<HTTPSocket&, int32_t>("Error", "( HTTPSocket, Integer )");
}

HTTPSocket::~HTTPSocket() = default;

bool HTTPSocket::Busy() const {
  const auto s = request_->state;
  return request_->pending || s == Request::State::Connecting || s == Request::State::Receiving;
}

void HTTPSocket::Get(const std::string& url) {
  if (Busy()) RuntimeFail("HTTPSocket '" + Name() + "': Get while a request is still running");
  if (!ParentWindow().IsOpen()) return;
  HTTPTarget target;
  if (!SplitHTTPURL(url, port_, target)) {
    request_->FailAtOnce(url, kHTTPErrorBadURL);
    return;
  }
  address_ = target.host;
  port_ = target.port;
  request_->Start(url, target);
}
