#include "platform/HTTPSocket.h"

#include <QObject>

#include "platform/Window.h"
#include "platform/internal/NetModule.h"

namespace {

int32_t ErrorCode(TcpConnection::Failure failure) {
  switch (failure) {
    case TcpConnection::Failure::NameNotResolved: return kHTTPErrorNameNotResolved;
    case TcpConnection::Failure::Refused: return kHTTPErrorConnectionRefused;
    case TcpConnection::Failure::Unreachable: return kHTTPErrorNetworkUnreachable;
    case TcpConnection::Failure::TimedOut: return kHTTPErrorTimedOut;
    case TcpConnection::Failure::Broken: return kHTTPErrorConnectionBroken;
    case TcpConnection::Failure::Other: break;
  }
  return kHTTPErrorOther;
}

// An answer that began but is not whole.
int32_t ErrorCode(HTTPAnswerEnd end) {
  switch (end) {
    case HTTPAnswerEnd::BodyCutShort: return kHTTPErrorBodyCutShort;
    case HTTPAnswerEnd::HeadCutShort: return kHTTPErrorHeadCutShort;
    case HTTPAnswerEnd::HeadTooLarge: return kHTTPErrorHeadTooLarge;
    default: break;
  }
  return kHTTPErrorOther;
}

}  // namespace

// One request at a time. The queued events go through relay, so that a
// request's pending event can outlive neither it nor its window.
struct HTTPSocket::Request {
  enum class State { Idle, Connecting, Receiving, Done };

  explicit Request(HTTPSocket& socket) : owner(socket), relay(new QObject()) {}
  ~Request() {
    *alive = false;
    connection.reset();
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
    NetSupport* net = RuntimeNetSupport();
    if (!net) return DeliverError(kHTTPErrorNoNetworkSupport);
    state = State::Connecting;
    connection = net->Connect(target.host, uint16_t(target.port),
                              {[this] { OnConnected(); }, [this] { OnReadyRead(); }, [this] { OnEnded(); },
                               [this](TcpConnection::Failure failure) { OnFailed(failure); }});
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
    connection->Write(request);
  }

  void OnReadyRead() {
    if (state == State::Done) return;
    if (!WindowOpen()) return Abandon();
    Take();
  }

  // The server closed the connection after it was established: what
  // arrived is the answer, when it is whole.
  void OnEnded() {
    if (state == State::Done) return;
    if (!WindowOpen()) return Abandon();
    Take();
    if (state == State::Done) return;
    reader.Finish();
    DeliverAnswer();
  }

  void OnFailed(TcpConnection::Failure failure) {
    if (state == State::Done) return;
    if (!WindowOpen()) return Abandon();
    if (state != State::Receiving) return DeliverError(ErrorCode(failure));
    // Once the connection stands, a failure breaks the answer under way;
    // only a server that sent nothing at all is taken as having closed.
    Take();
    if (state == State::Done) return;
    reader.Finish();
    if (reader.End() == HTTPAnswerEnd::Nothing) return DeliverAnswer();
    DeliverError(kHTTPErrorConnectionBroken);
  }

  void Take() {
    if (reader.Feed(connection->ReadAll())) DeliverAnswer();
  }

  // A whole answer is the page; one that is not is an error, never a page
  // that holds part of what was sent.
  void DeliverAnswer() {
    const HTTPAnswerEnd end = reader.End();
    if (end == HTTPAnswerEnd::Whole || end == HTTPAnswerEnd::Nothing) return DeliverPage();
    DeliverError(ErrorCode(end));
  }

  // Stops the connection without destroying it: it may be the one whose
  // handler is running.
  void StopSocket() {
    state = State::Done;
    if (connection) connection->Stop();
  }

  void DeleteSocket() {
    StopSocket();
    connection.reset();
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
  std::unique_ptr<TcpConnection> connection;
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
