// An HTTP/1.0 client placed on a window: no position, not drawn, and it
// belongs to its window.
//
// Get(url) returns at once. The request then runs while the event loop
// goes on, and ends in exactly one event, raised on the user-interface
// thread from the event loop:
//   PageReceived ( HTTPSocket, String, Integer, InternetHeaders, String ):
//     the socket, the URL asked for, the status code, the header lines and
//     the body, whatever the status, once a whole answer has arrived: its
//     body at its content-length or, without one, ended by the server's
//     orderly close. A server that ends the connection (closes or resets
//     it) before sending a single byte gives a page with status 0, no
//     header and an empty body. A body is kept up to 1 MiB; the connection
//     is closed there and the page raised with what it holds.
//   Error ( HTTPSocket, Integer ): the socket and one of the codes below,
//     when the connection could not be established, or when an answer
//     began but did not arrive whole: never a page with part of an answer.
// There is no time limit. No proxy is used and redirections are not
// followed. Closing the window abandons the request: the connection is
// dropped and no event is raised after that.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Control.h"
#include "platform/HTTPMessage.h"

// The Error event's codes. They are stable: add new ones at the end.
enum HTTPSocketError : int32_t {
  kHTTPErrorOther = 100,               // any failure not listed here
  kHTTPErrorBadURL = 101,              // not http://host[:port]/path (see SplitHTTPURL)
  kHTTPErrorNameNotResolved = 102,     // the host name could not be looked up
  kHTTPErrorConnectionRefused = 103,   // nothing listens on that port
  kHTTPErrorNetworkUnreachable = 104,  // no route, or the network failed while connecting
  kHTTPErrorTimedOut = 105,            // no address of the host could be reached in time
  kHTTPErrorNoNetworkSupport = 106,    // the network support could not be loaded
  kHTTPErrorBodyCutShort = 107,        // the server closed before the body reached its Content-Length
  kHTTPErrorHeadCutShort = 108,        // the server closed after part of the status line and
                                       // header lines, before the empty line that ends them
  kHTTPErrorConnectionBroken = 109,    // the connection broke (reset by the server, or failed)
                                       // after part of the answer had arrived
  kHTTPErrorHeadTooLarge = 110,        // the status line and header lines went beyond 1 MiB
};

class HTTPSocket : public ControlOf<HTTPSocket> {
 public:
  ~HTTPSocket() override;
  std::string ClassName() const override { return "HTTPSocket"; }

  // Starts a GET of the URL. The host and port it goes to are then the
  // socket's Address and Port. A Get while one is still running is a
  // programming error.
  void Get(const std::string& url);
  bool Busy() const;

  std::string Address() const { return address_; }
  int32_t Port() const { return port_; }

 private:
  friend class Window;
  struct Request;
  explicit HTTPSocket(Window& window);

  std::string address_;
  int32_t port_ = 0;
  std::unique_ptr<Request> request_;
};
