#include "platform/Text.h"

#include <QChar>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// UTF-8 to code points; a byte that is not part of valid UTF-8 becomes
// U+FFFD, so no input is refused.
std::u32string Decode(const std::string& s) {
  std::u32string out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    size_t extra = 0;
    char32_t cp = 0;
    if (c < 0x80) { out.push_back(c); ++i; continue; }
    if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; }
    else { out.push_back(0xFFFD); ++i; continue; }
    bool ok = i + extra < n;
    for (size_t k = 1; ok && k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (ok && ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) ||
               cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
      ok = false;
    if (!ok) { out.push_back(0xFFFD); ++i; continue; }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

std::string Encode(const std::u32string& s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t cp : s) {
    if (cp < 0x80) out.push_back(char(cp));
    else if (cp < 0x800) {
      out.push_back(char(0xC0 | (cp >> 6)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(char(0xE0 | (cp >> 12)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(char(0xF0 | (cp >> 18)));
      out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

// Per code point, so positions stay where they were.
std::u32string Fold(std::u32string s) {
  for (char32_t& c : s) c = char32_t(QChar::toLower(uint(c)));
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string StringStrInt32(int32_t value) { return std::to_string(value); }

double Val(const std::string& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  const size_t start = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && IsDigit(text[i])) { ++i; ++digits; }
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) { ++i; ++digits; }
  }
  if (digits == 0) return 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < n && IsDigit(text[j])) {
      while (j < n && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  size_t from = start;
  if (text[from] == '+') ++from;  // from_chars takes no plus sign
  double result = 0;
  const auto r = std::from_chars(text.data() + from, text.data() + i, result);
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond the range of a double: overflow gives an infinity of the
    // sign, underflow gives zero. The mantissa's digits before the point
    // and the exponent tell which.
    const bool negative = text[start] == '-';
    long long magnitude = 0;
    bool seenNonZero = false, afterPoint = false;
    size_t k = from;
    for (; k < i && text[k] != 'e' && text[k] != 'E'; ++k) {
      if (text[k] == '.') { afterPoint = true; continue; }
      if (!IsDigit(text[k])) continue;
      if (text[k] != '0') seenNonZero = true;
      if (!afterPoint && seenNonZero) ++magnitude;
      if (afterPoint && !seenNonZero) --magnitude;
    }
    if (k < i) {
      // The exponent's own digits may be beyond any integer: past a billion
      // only its sign matters, so it is held there rather than overflowing.
      size_t e = k + 1;
      const bool negativeExponent = text[e] == '-';
      if (text[e] == '+' || text[e] == '-') ++e;
      long long exponent = 0;
      for (; e < i; ++e)
        if (exponent < 1000000000LL) exponent = exponent * 10 + (text[e] - '0');
      magnitude += negativeExponent ? -exponent : exponent;
    }
    if (magnitude <= 0) return negative ? -0.0 : 0.0;
    return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  }
  return result;
}

int32_t Int32FromDouble(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

int32_t Len(const std::string& text) { return int32_t(Decode(text).size()); }

int32_t InStr(int32_t start, const std::string& source, const std::string& find) {
  const std::u32string s = Fold(Decode(source));
  const std::u32string f = Fold(Decode(find));
  const size_t from = start > 1 ? size_t(start - 1) : 0;
  if (from > s.size()) return 0;
  const size_t at = s.find(f, from);
  return at == std::u32string::npos ? 0 : int32_t(at + 1);
}

std::string Mid(const std::string& text, int32_t start, int32_t length) {
  const std::u32string s = Decode(text);
  const size_t from = start > 1 ? size_t(start - 1) : 0;
  if (from >= s.size()) return {};
  const size_t count = length < 0 ? std::u32string::npos : size_t(length);
  return Encode(s.substr(from, count));
}

std::string Left(const std::string& text, int32_t count) { return count <= 0 ? std::string() : Mid(text, 1, count); }

std::string NthField(const std::string& text, const std::string& separator, int32_t n) {
  if (n < 1) return {};
  if (separator.empty()) return n == 1 ? text : std::string();
  size_t from = 0;
  for (int32_t field = 1;; ++field) {
    const size_t at = text.find(separator, from);
    if (field == n) return text.substr(from, at == std::string::npos ? std::string::npos : at - from);
    if (at == std::string::npos) return {};
    from = at + separator.size();
  }
}

std::string Lowercase(const std::string& text) { return Encode(Fold(Decode(text))); }

bool TextEquals(const std::string& a, const std::string& b) { return Fold(Decode(a)) == Fold(Decode(b)); }

std::string ValidUtf8(const std::string& text) { return Encode(Decode(text)); }
