// The network module (libservalo-net.so): TCP connections, the only user
// of Qt's network support (for the name lookup).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/internal/Modules.h"

// One outgoing connection, without a proxy. Its handlers run on the
// user-interface thread from the event loop, never from inside Connect or
// a call of the connection.
class TcpConnection {
 public:
  // Broken: the connection stood, then failed (reset by the peer, or an
  // error while reading or writing). The others: it could not be made.
  enum class Failure { NameNotResolved, Refused, Unreachable, TimedOut, Broken, Other };
  struct Handlers {
    std::function<void()> connected;
    // Bytes wait in ReadAll. Before ended or failed, every byte that came
    // has been offered this way.
    std::function<void()> readable;
    // The peer closed the connection in order: everything it sent came.
    std::function<void()> ended;
    // Any other end: the connection could not be made, or it broke.
    std::function<void(Failure)> failed;
  };

  // Drops the connection at once.
  virtual ~TcpConnection() = default;
  virtual void Write(const std::string& bytes) = 0;
  virtual std::string ReadAll() = 0;
  // Drops the connection; no handler runs after this. Safe inside a
  // handler, unlike destroying the connection there.
  virtual void Stop() = 0;
};

class NetSupport {
 public:
  virtual ~NetSupport() = default;
  virtual std::unique_ptr<TcpConnection> Connect(const std::string& host, uint16_t port,
                                                 TcpConnection::Handlers handlers) = 0;
};

// The module, loaded on first use; nullptr when it cannot be loaded.
inline NetSupport* RuntimeNetSupport() { return RuntimeModule<NetSupport>("net"); }
