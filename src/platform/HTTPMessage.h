// The HTTP/1.0 client's messages without any socket: splitting a URL, the
// request bytes, the header list of an answer and the reading of an answer
// as it arrives. HTTPSocket carries them over TCP.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The header lines of an answer, in the order they came, names as sent.
class InternetHeaders {
 public:
  void AppendHeader(const std::string& name, const std::string& value);
  int32_t Count() const { return int32_t(lines_.size()); }
  // By position, from 0; empty beyond the end.
  std::string Name(int32_t index) const;
  std::string ValueAt(int32_t index) const;
  // The value of the first header of that name (letter case ignored), or
  // empty when there is none.
  std::string Value(const std::string& name) const;

 private:
  friend class HTTPAnswerReader;
  std::vector<std::pair<std::string, std::string>> lines_;
};

// Where a request goes: "http://" host [":" port] ["/" path].
struct HTTPTarget {
  std::string host;        // to connect to (no brackets around an IPv6 address)
  std::string hostHeader;  // as the URL writes it, port included
  uint16_t port = 80;
  std::string path;  // "/" when nothing follows the host
};

// Splits the URL. The port is the one written after the host, else
// defaultPort when it is above 0, else 80. False for anything but an http
// URL with a host, a port from 1 to 65535, and no blank or control
// character (which would end up in the request lines).
bool SplitHTTPURL(const std::string& url, int32_t defaultPort, HTTPTarget& target);

// The request as it goes on the wire: the request line, Host, Accept and
// Accept-Language, each ended by CR LF, an empty line, no body.
std::string HTTPRequestBytes(const HTTPTarget& target);

// Largest body kept, and largest status line plus header lines. A body
// that goes beyond its cap is cut there; a head that does is no answer.
inline constexpr size_t kHTTPBodyCap = size_t(1) << 20;
inline constexpr size_t kHTTPHeadCap = kHTTPBodyCap;

// How an answer stands.
enum class HTTPAnswerEnd {
  Open,          // still arriving
  Whole,         // at its content-length, at the body cap, or, without a
                 // usable length, ended with the connection
  Nothing,       // the connection ended before a single byte came
  HeadCutShort,  // the connection ended before the empty line after the head
  BodyCutShort,  // the connection ended before the body reached its content-length
  HeadTooLarge,  // the head went beyond its cap; the rest was not read
};

// Reads an answer from the bytes as they arrive, in pieces of any size:
// the status line, header lines up to an empty line, then the body up to
// its content-length or, without a usable one, until the connection ends.
// Lines may end in CR LF or a bare LF. The body is kept as raw bytes: no
// transfer coding is undone.
class HTTPAnswerReader {
 public:
  explicit HTTPAnswerReader(size_t bodyCap = kHTTPBodyCap, size_t headCap = kHTTPHeadCap);

  // Takes the next bytes. True once the answer is over: the body has its
  // content-length or has reached the cap, or the head has gone beyond its
  // cap (End tells which). Later bytes are ignored.
  bool Feed(std::string_view bytes);
  // The connection has ended: what has arrived stands as the answer, and
  // End tells whether it is whole.
  void Finish();

  bool Complete() const { return end_ != HTTPAnswerEnd::Open; }
  HTTPAnswerEnd End() const { return end_; }
  // The three digits after "HTTP/x.y", or 0 when the status line has none.
  int32_t StatusCode() const { return status_; }
  const InternetHeaders& Headers() const { return headers_; }
  const std::string& Body() const { return body_; }
  // The body reached its cap and the rest was dropped.
  bool Cut() const { return cut_; }
  // The content-length in use, when the headers gave one that all agree on.
  std::optional<size_t> ContentLength() const { return contentLength_; }

 private:
  // Where reading stands until the answer is over (End is then no longer
  // Open).
  enum class Stage { StatusLine, Headers, Body };
  void TakeLine(std::string_view line);
  void StartBody();
  void TakeBody(std::string_view bytes);
  void Over(HTTPAnswerEnd end);

  size_t bodyCap_, headCap_;
  Stage stage_ = Stage::StatusLine;
  HTTPAnswerEnd end_ = HTTPAnswerEnd::Open;
  bool anything_ = false;  // a byte has arrived
  std::string line_;       // the head line not yet ended
  size_t headBytes_ = 0;
  int32_t status_ = 0;
  InternetHeaders headers_;
  std::optional<size_t> contentLength_;
  std::string body_;
  bool cut_ = false;
};
