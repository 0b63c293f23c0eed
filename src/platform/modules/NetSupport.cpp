// The network module: connections over non-blocking sockets of the system,
// watched from Qt's event loop, with Qt's name lookup.
//
// Qt's own TCP socket reports a reset by the peer exactly like an orderly
// close, so an answer broken off by a reset would pass for a whole one. Here
// the socket is read directly: only the end of the stream is the peer's
// close (ended), and a read or write that fails is a failure (Broken).
#include <QHostAddress>
#include <QHostInfo>
#include <QList>
#include <QNetworkInterface>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/internal/NetModule.h"

namespace {

// How long one address may take to connect before the next one is tried;
// when the last one runs out, the connection has timed out.
constexpr int kConnectTimeoutMs = 30000;
// Read at most this much per turn of the event loop: a flood of bytes
// neither holds up the loop nor piles up before the reader has seen it.
constexpr size_t kReadPerTurn = size_t(256) << 10;

TcpConnection::Failure ConnectFailure(int error) {
  switch (error) {
    case ECONNREFUSED: return TcpConnection::Failure::Refused;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN: return TcpConnection::Failure::Unreachable;
    case ETIMEDOUT: return TcpConnection::Failure::TimedOut;
    default: return TcpConnection::Failure::Other;
  }
}

bool SocketAddress(const QHostAddress& address, uint16_t port, sockaddr_storage& storage, socklen_t& length) {
  std::memset(&storage, 0, sizeof storage);
  if (address.protocol() == QAbstractSocket::IPv4Protocol) {
    auto* in = reinterpret_cast<sockaddr_in*>(&storage);
    in->sin_family = AF_INET;
    in->sin_port = htons(port);
    in->sin_addr.s_addr = htonl(address.toIPv4Address());
    length = sizeof *in;
    return true;
  }
  if (address.protocol() == QAbstractSocket::IPv6Protocol) {
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
    in6->sin6_family = AF_INET6;
    in6->sin6_port = htons(port);
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    std::memcpy(in6->sin6_addr.s6_addr, bytes.c, sizeof bytes.c);
    if (const QString scope = address.scopeId(); !scope.isEmpty()) {
      bool number = false;
      const uint index = scope.toUInt(&number);
      in6->sin6_scope_id = number ? index : uint32_t(QNetworkInterface::interfaceIndexFromName(scope));
    }
    length = sizeof *in6;
    return true;
  }
  return false;
}

class SystemTcpConnection : public TcpConnection {
 public:
  SystemTcpConnection(const std::string& host, uint16_t port, Handlers handlers)
      : handlers_(std::move(handlers)), host_(QString::fromStdString(host)), port_(port) {
    connectTimer_.setSingleShot(true);
    QObject::connect(&connectTimer_, &QTimer::timeout, &relay_, [this] { ConnectTimedOut(); });
    QObject::connect(&readNotifier_, &QSocketNotifier::activated, &relay_, [this] { Drain(); });
    QObject::connect(&writeNotifier_, &QSocketNotifier::activated, &relay_, [this] { Writable(); });
    // Everything starts from the event loop, so that no handler runs inside
    // Connect, whatever the lookup or the first connect does at once.
    QMetaObject::invokeMethod(&relay_, [this] { Begin(); }, Qt::QueuedConnection);
  }

  ~SystemTcpConnection() override { Stop(); }

  void Write(const std::string& bytes) override {
    if (over_ || !connected_) return;
    out_ += bytes;
    Flush();
  }

  std::string ReadAll() override { return std::exchange(in_, std::string()); }

  void Stop() override { End(); }

 private:
  void Begin() {
    if (over_) return;
    // An address as such needs no lookup (and gets no reverse one).
    if (QHostAddress literal; literal.setAddress(host_)) {
      addresses_ = {literal};
      return ConnectNext();
    }
    lookupId_ = QHostInfo::lookupHost(host_, &relay_, [this](const QHostInfo& info) { Resolved(info); });
  }

  void Resolved(const QHostInfo& info) {
    lookupId_ = -1;
    if (over_) return;
    addresses_ = info.addresses();
    // Every failure of the lookup is the name's: there is nothing to try.
    if (info.error() != QHostInfo::NoError || addresses_.isEmpty()) return Fail(Failure::NameNotResolved);
    ConnectNext();
  }

  // Tries the addresses in turn; the last one's failure is the one told.
  void ConnectNext() {
    CloseSocket();
    while (next_ < addresses_.size()) {
      sockaddr_storage storage;
      socklen_t length = 0;
      if (!SocketAddress(addresses_[next_++], port_, storage, length)) {
        lastError_ = EAFNOSUPPORT;
        continue;
      }
      const int fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      if (fd < 0) {
        lastError_ = errno;
        continue;
      }
      fd_ = fd;
      readNotifier_.setSocket(fd);
      writeNotifier_.setSocket(fd);
      if (::connect(fd, reinterpret_cast<const sockaddr*>(&storage), length) == 0) return Connected();
      // Interrupted, the connect goes on by itself, as one in progress does.
      if (errno == EINPROGRESS || errno == EINTR) {
        writeNotifier_.setEnabled(true);
        connectTimer_.start(kConnectTimeoutMs);
        return;
      }
      lastError_ = errno;
      CloseSocket();
    }
    Fail(ConnectFailure(lastError_));
  }

  void ConnectTimedOut() {
    if (over_ || connected_) return;
    lastError_ = ETIMEDOUT;
    ConnectNext();
  }

  void Writable() {
    if (over_) return;
    if (connected_) return Flush();
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error == EINPROGRESS || error == EALREADY || error == EINTR) return;
    connectTimer_.stop();
    if (error != 0) {
      lastError_ = error;
      return ConnectNext();
    }
    Connected();
  }

  void Connected() {
    connected_ = true;
    connectTimer_.stop();
    writeNotifier_.setEnabled(false);
    readNotifier_.setEnabled(true);
    handlers_.connected();
  }

  void Flush() {
    while (!out_.empty()) {
      const ssize_t n = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL);
      if (n > 0) {
        out_.erase(0, size_t(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      // Broken. What the peer sent before may still wait to be read: the
      // failure is told after it, from the event loop.
      writeBroken_ = true;
      out_.clear();
      QMetaObject::invokeMethod(&relay_, [this] { Drain(); }, Qt::QueuedConnection);
      break;
    }
    writeNotifier_.setEnabled(!out_.empty());
  }

  void Drain() {
    if (over_ || !connected_) return;
    enum { More, Waiting, Closed, Failed } state = Waiting;
    size_t taken = 0;
    char buffer[16384];
    for (;;) {
      if (taken >= kReadPerTurn) {
        state = More;
        break;
      }
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n > 0) {
        in_.append(buffer, size_t(n));
        taken += size_t(n);
        continue;
      }
      if (n == 0) {
        state = Closed;
      } else if (errno == EINTR) {
        continue;
      } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
        state = Failed;
      }
      break;
    }
    if (!in_.empty()) {
      handlers_.readable();
      if (over_) return;
    }
    if (state == Closed) {
      End();
      handlers_.ended();
    } else if (state == Failed || (state == Waiting && writeBroken_)) {
      Fail(Failure::Broken);
    }
  }

  void Fail(Failure failure) {
    End();
    handlers_.failed(failure);
  }

  // No handler runs after this, but the one about to be called.
  void End() {
    over_ = true;
    if (lookupId_ != -1) QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    connectTimer_.stop();
    CloseSocket();
  }

  void CloseSocket() {
    readNotifier_.setEnabled(false);
    writeNotifier_.setEnabled(false);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  Handlers handlers_;
  const QString host_;
  const uint16_t port_;
  QList<QHostAddress> addresses_;
  qsizetype next_ = 0;
  int lastError_ = 0;
  int lookupId_ = -1;
  int fd_ = -1;
  bool connected_ = false, writeBroken_ = false, over_ = false;
  std::string in_, out_;
  // The timer's and notifiers' signals, and the queued calls, go through
  // relay_: none of them reaches a connection that has gone.
  QObject relay_;
  QTimer connectTimer_;
  QSocketNotifier readNotifier_{QSocketNotifier::Read};
  QSocketNotifier writeNotifier_{QSocketNotifier::Write};
};

class SystemNetSupport : public NetSupport {
 public:
  std::unique_ptr<TcpConnection> Connect(const std::string& host, uint16_t port,
                                         TcpConnection::Handlers handlers) override {
    return std::make_unique<SystemTcpConnection>(host, port, std::move(handlers));
  }
};

}  // namespace

SERVALO_MODULE_ENTRY(net) {
  static SystemNetSupport support;
  return &support;
}
