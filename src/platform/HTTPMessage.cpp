#include "platform/HTTPMessage.h"

#include <algorithm>

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Decimal digits only, no sign; nullopt for anything else or an overflow.
std::optional<size_t> ParseLength(std::string_view s) {
  if (s.empty()) return std::nullopt;
  size_t n = 0;
  for (char c : s) {
    if (!IsDigit(c)) return std::nullopt;
    const size_t d = size_t(c - '0');
    if (n > (SIZE_MAX - d) / 10) return std::nullopt;
    n = n * 10 + d;
  }
  return n;
}

}  // namespace

// ---- InternetHeaders

void InternetHeaders::AppendHeader(const std::string& name, const std::string& value) {
  lines_.emplace_back(name, value);
}

std::string InternetHeaders::Name(int32_t index) const {
  return index >= 0 && index < Count() ? lines_[size_t(index)].first : std::string();
}

std::string InternetHeaders::ValueAt(int32_t index) const {
  return index >= 0 && index < Count() ? lines_[size_t(index)].second : std::string();
}

std::string InternetHeaders::Value(const std::string& name) const {
  for (const auto& [n, v] : lines_)
    if (SameAscii(n, name)) return v;
  return {};
}

// ---- The request

bool SplitHTTPURL(const std::string& url, int32_t defaultPort, HTTPTarget& target) {
  for (unsigned char c : url)
    if (c <= 0x20 || c == 0x7F) return false;
  const size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string::npos || !SameAscii(std::string_view(url).substr(0, schemeEnd), "http"))
    return false;
  const size_t hostStart = schemeEnd + 3;
  const size_t slash = url.find('/', hostStart);
  const std::string authority = url.substr(hostStart, slash == std::string::npos ? std::string::npos : slash - hostStart);
  // No credentials: they would have to go on the wire, and this client sends none.
  if (authority.find('@') != std::string::npos) return false;

  std::string host = authority;
  std::string port;
  if (!authority.empty() && authority.front() == '[') {
    const size_t close = authority.find(']');
    if (close == std::string::npos) return false;
    host = authority.substr(1, close - 1);
    const std::string rest = authority.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return false;
      port = rest.substr(1);
    }
  } else if (const size_t colon = authority.find(':'); colon != std::string::npos) {
    host = authority.substr(0, colon);
    port = authority.substr(colon + 1);
  }
  if (host.empty()) return false;

  int32_t number = defaultPort > 0 ? defaultPort : 80;
  if (!port.empty()) {
    const auto n = ParseLength(port);
    if (!n || *n > 65535) return false;
    number = int32_t(*n);
  }
  if (number < 1 || number > 65535) return false;

  target.host = host;
  target.hostHeader = authority;
  target.port = uint16_t(number);
  target.path = slash == std::string::npos ? "/" : url.substr(slash);
  return true;
}

std::string HTTPRequestBytes(const HTTPTarget& target) {
  return "GET " + target.path + " HTTP/1.0\r\n" + "Host: " + target.hostHeader + "\r\n" + "Accept: */*\r\n" +
         "Accept-Language: en\r\n" + "\r\n";
}

// ---- Reading the answer

HTTPAnswerReader::HTTPAnswerReader(size_t bodyCap, size_t headCap) : bodyCap_(bodyCap), headCap_(headCap) {}

bool HTTPAnswerReader::Feed(std::string_view bytes) {
  if (!bytes.empty() && !Complete()) anything_ = true;
  while (!bytes.empty() && !Complete()) {
    if (stage_ == Stage::Body) {
      TakeBody(bytes);
      break;
    }
    const size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    const size_t lineFeed = end == std::string_view::npos ? 0 : 1;
    if (headBytes_ + line_.size() + piece.size() + lineFeed > headCap_) {
      Over(HTTPAnswerEnd::HeadTooLarge);
      break;
    }
    line_.append(piece);
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
    headBytes_ += line_.size() + 1;
    std::string line = std::move(line_);
    line_.clear();
    TakeLine(line);
  }
  return Complete();
}

void HTTPAnswerReader::Finish() {
  if (Complete()) return;
  if (stage_ != Stage::Body) {
    if (!anything_) return Over(HTTPAnswerEnd::Nothing);
    // A head line cut short by the end of the connection still counts for
    // what it tells; only a lone CR, the empty line without its LF, ends
    // the head.
    if (!line_.empty()) {
      std::string line = std::move(line_);
      line_.clear();
      TakeLine(line);
    }
    if (Complete()) return;
    if (stage_ != Stage::Body) return Over(HTTPAnswerEnd::HeadCutShort);
  }
  const bool shortOfLength = contentLength_ && body_.size() < *contentLength_;
  Over(shortOfLength ? HTTPAnswerEnd::BodyCutShort : HTTPAnswerEnd::Whole);
}

void HTTPAnswerReader::Over(HTTPAnswerEnd end) { end_ = end; }

void HTTPAnswerReader::TakeLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (stage_ == Stage::StatusLine) {
    // "HTTP/1.0 200 OK": the code is the three digits after the version.
    if (line.size() >= 5 && SameAscii(line.substr(0, 5), "HTTP/")) {
      size_t i = line.find_first_of(" \t");
      if (i != std::string_view::npos) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i + 3 <= line.size() && IsDigit(line[i]) && IsDigit(line[i + 1]) && IsDigit(line[i + 2]) &&
            (i + 3 == line.size() || IsBlank(line[i + 3])))
          status_ = (line[i] - '0') * 100 + (line[i + 1] - '0') * 10 + (line[i + 2] - '0');
      }
    }
    stage_ = Stage::Headers;
    return;
  }
  if (line.empty()) {
    StartBody();
    return;
  }
  if (IsBlank(line.front())) {
    // A folded line continues the header before it.
    if (!headers_.lines_.empty()) {
      std::string& value = headers_.lines_.back().second;
      const std::string_view more = Trim(line);
      if (!more.empty()) {
        if (!value.empty()) value += ' ';
        value.append(more);
      }
    }
    return;
  }
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;  // not a header line: passed over
  headers_.AppendHeader(std::string(Trim(line.substr(0, colon))), std::string(Trim(line.substr(colon + 1))));
}

void HTTPAnswerReader::StartBody() {
  // A length that is not a plain number, or lengths that disagree, are not
  // trusted: the body then runs until the connection ends.
  std::optional<size_t> length;
  bool usable = true;
  for (const auto& [name, value] : headers_.lines_) {
    if (!SameAscii(name, "content-length")) continue;
    const auto n = ParseLength(value);
    if (!n || (length && *length != *n)) {
      usable = false;
      break;
    }
    length = n;
  }
  if (usable) contentLength_ = length;
  stage_ = Stage::Body;
  if (contentLength_ && *contentLength_ == 0) Over(HTTPAnswerEnd::Whole);
}

void HTTPAnswerReader::TakeBody(std::string_view bytes) {
  const size_t limit = contentLength_ ? std::min(*contentLength_, bodyCap_) : bodyCap_;
  const size_t take = std::min(limit - body_.size(), bytes.size());
  body_.append(bytes.substr(0, take));
  if (contentLength_ && body_.size() == *contentLength_) {
    Over(HTTPAnswerEnd::Whole);
  } else if (body_.size() == bodyCap_) {
    cut_ = true;
    Over(HTTPAnswerEnd::Whole);
  }
}
