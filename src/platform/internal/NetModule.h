// The network module (libservalo-net.so): TCP connections, the only user
// of Qt's network support.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/internal/Modules.h"

// One outgoing connection, without a proxy. Its handlers run on the
// user-interface thread from the event loop.
class TcpConnection {
 public:
  enum class Failure { NameNotResolved, Refused, Unreachable, TimedOut, Other };
  struct Handlers {
    std::function<void()> connected;
    std::function<void()> readable;
    // The peer closed the connection.
    std::function<void()> ended;
    // Any other failure: the connection could not be made, or it broke.
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
