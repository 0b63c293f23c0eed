// A scripted HTTP server on 127.0.0.1 for the update tests. Every
// connection it accepts plays the same script, one step after another, and
// the server records what each client sent and whether the client hung up.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

#include <memory>
#include <string>
#include <vector>

struct ServerStep {
  enum Kind { AwaitRequest, Send, Trickle, Pause, Close, Reset, Hold } kind;
  QByteArray bytes;
  int ms = 0;
  int chunk = 0;

  // Waits until the whole request (up to its empty line) has arrived.
  static ServerStep Await() { return {AwaitRequest, {}, 0, 0}; }
  static ServerStep Write(const QByteArray& b) { return {Send, b, 0, 0}; }
  // Sends the bytes a few at a time, with a pause after each piece.
  static ServerStep Drip(const QByteArray& b, int chunk, int ms) { return {Trickle, b, ms, chunk}; }
  static ServerStep Wait(int ms) { return {Pause, {}, ms, 0}; }
  // Closes once everything is written.
  static ServerStep Hangup() { return {Close, {}, 0, 0}; }
  // Breaks the connection (TCP reset) once everything is written.
  static ServerStep Break() { return {Reset, {}, 0, 0}; }
  // Says nothing more and keeps the connection open.
  static ServerStep Silence() { return {Hold, {}, 0, 0}; }
};

class UpdateTestServer : public QObject {
 public:
  explicit UpdateTestServer(std::vector<ServerStep> script) : script_(std::move(script)) {
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] { Accept(); });
    server_.listen(QHostAddress::LocalHost, 0);
  }
  ~UpdateTestServer() override {
    for (auto& c : connections_)
      if (c->socket) c->socket->abort();
  }

  bool Listening() const { return server_.isListening(); }
  quint16 Port() const { return server_.serverPort(); }
  std::string Host() const { return "127.0.0.1:" + std::to_string(Port()); }

  int Connections() const { return int(connections_.size()); }
  QByteArray Received(int i = 0) const { return i < Connections() ? connections_[size_t(i)]->received : QByteArray(); }
  // The client ended the connection before the script did.
  bool ClientHungUp(int i = 0) const { return i < Connections() && connections_[size_t(i)]->clientHungUp; }
  // Every step up to a Hold or the end has run and its bytes are out.
  bool ScriptDone(int i = 0) const {
    if (i >= Connections()) return false;
    const auto& c = *connections_[size_t(i)];
    const bool written = !c.socket || c.socket->bytesToWrite() == 0;
    return written && (c.step >= script_.size() || script_[c.step].kind == ServerStep::Hold);
  }

  // A port on which nothing listens (it was free a moment ago).
  static quint16 UnusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
  }

 private:
  struct Connection {
    QPointer<QTcpSocket> socket;
    QByteArray received;
    size_t step = 0;
    int offset = 0;
    bool closing = false, clientHungUp = false;
  };

  void Accept() {
    while (QTcpSocket* s = server_.nextPendingConnection()) {
      auto c = std::make_shared<Connection>();
      c->socket = s;
      s->setParent(this);
      connections_.push_back(c);
      QObject::connect(s, &QTcpSocket::readyRead, this, [this, c] {
        c->received += c->socket->readAll();
        Run(c);
      });
      QObject::connect(s, &QTcpSocket::disconnected, this, [c] {
        if (!c->closing) c->clientHungUp = true;
      });
      Run(c);
    }
  }

  void Later(const std::shared_ptr<Connection>& c, int ms) {
    QTimer::singleShot(ms, this, [this, c] { Run(c); });
  }

  void Run(const std::shared_ptr<Connection>& c) {
    while (c->socket && !c->closing && c->step < script_.size()) {
      const ServerStep& s = script_[c->step];
      switch (s.kind) {
        case ServerStep::AwaitRequest:
          if (!c->received.contains("\r\n\r\n")) return;
          ++c->step;
          break;
        case ServerStep::Send:
          c->socket->write(s.bytes);
          ++c->step;
          break;
        case ServerStep::Trickle:
          c->socket->write(s.bytes.mid(c->offset, s.chunk));
          c->offset += s.chunk;
          if (c->offset >= s.bytes.size()) {
            c->offset = 0;
            ++c->step;
          }
          return Later(c, s.ms);
        case ServerStep::Pause:
          ++c->step;
          return Later(c, s.ms);
        case ServerStep::Close:
          c->closing = true;
          ++c->step;
          c->socket->disconnectFromHost();
          return;
        case ServerStep::Reset:
          c->socket->flush();
          if (c->socket->bytesToWrite() > 0) return Later(c, 5);
          {
            // A zero linger time makes the close a reset.
            struct linger l = {1, 0};
            setsockopt(int(c->socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &l, sizeof l);
          }
          c->closing = true;
          ++c->step;
          c->socket->abort();
          return;
        case ServerStep::Hold:
          return;
      }
    }
  }

  QTcpServer server_;
  std::vector<ServerStep> script_;
  std::vector<std::shared_ptr<Connection>> connections_;
};
