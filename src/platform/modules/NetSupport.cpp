// The network module: connections over Qt's TCP socket.
#include <QNetworkProxy>
#include <QObject>
#include <QTcpSocket>

#include "platform/internal/NetModule.h"

namespace {

TcpConnection::Failure FailureOf(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::HostNotFoundError: return TcpConnection::Failure::NameNotResolved;
    case QAbstractSocket::ConnectionRefusedError: return TcpConnection::Failure::Refused;
    case QAbstractSocket::NetworkError: return TcpConnection::Failure::Unreachable;
    case QAbstractSocket::SocketTimeoutError: return TcpConnection::Failure::TimedOut;
    default: return TcpConnection::Failure::Other;
  }
}

class QtTcpConnection : public TcpConnection {
 public:
  QtTcpConnection(const std::string& host, uint16_t port, Handlers handlers) : handlers_(std::move(handlers)) {
    socket_.setProxy(QNetworkProxy::NoProxy);
    // The socket's signals go through relay_, so Stop cuts them all at once.
    QObject::connect(&socket_, &QTcpSocket::connected, &relay_, [this] { handlers_.connected(); });
    QObject::connect(&socket_, &QTcpSocket::readyRead, &relay_, [this] { handlers_.readable(); });
    QObject::connect(&socket_, &QTcpSocket::disconnected, &relay_, [this] { handlers_.ended(); });
    QObject::connect(&socket_, &QTcpSocket::errorOccurred, &relay_, [this](QAbstractSocket::SocketError error) {
      // A close by the peer comes as an error first.
      if (error == QAbstractSocket::RemoteHostClosedError)
        handlers_.ended();
      else
        handlers_.failed(FailureOf(error));
    });
    socket_.connectToHost(QString::fromStdString(host), port);
  }

  ~QtTcpConnection() override { Stop(); }

  void Write(const std::string& bytes) override { socket_.write(bytes.data(), qint64(bytes.size())); }

  std::string ReadAll() override { return socket_.readAll().toStdString(); }

  void Stop() override {
    QObject::disconnect(&socket_, nullptr, &relay_, nullptr);
    socket_.abort();
  }

 private:
  Handlers handlers_;
  QObject relay_;
  QTcpSocket socket_;
};

class QtNetSupport : public NetSupport {
 public:
  std::unique_ptr<TcpConnection> Connect(const std::string& host, uint16_t port,
                                         TcpConnection::Handlers handlers) override {
    return std::make_unique<QtTcpConnection>(host, port, std::move(handlers));
  }
};

}  // namespace

SERVALO_MODULE_ENTRY(net) {
  static QtNetSupport support;
  return &support;
}
