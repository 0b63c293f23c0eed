// Arbitrary bytes as the server's answer: read as an HTTP answer, fed in
// pieces of a size the input chooses, then the body read as the update
// feed. Checks that the reading does not depend on how the bytes arrive,
// that the caps hold, that an answer is told whole only when it is, and
// that the feed's values are parts of the body.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "platform/HTTPMessage.h"
#include "platform/Text.h"
#include "update/FeedReading.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

struct Read {
  bool early;
  HTTPAnswerReader reader;
};

Read ReadInPieces(std::string_view answer, size_t bodyCap, size_t headCap, size_t piece) {
  Read r{false, HTTPAnswerReader(bodyCap, headCap)};
  for (size_t at = 0; at < answer.size(); at += piece)
    if (r.reader.Feed(answer.substr(at, piece))) r.early = true;
  r.reader.Finish();
  return r;
}

bool SameHeaders(const InternetHeaders& a, const InternetHeaders& b) {
  if (a.Count() != b.Count()) return false;
  for (int32_t i = 0; i < a.Count(); ++i)
    if (a.Name(i) != b.Name(i) || a.ValueAt(i) != b.ValueAt(i)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the piece size and small caps, so that the caps
  // are reached by inputs of fuzzing size too.
  const size_t piece = size_t(data[0] % 16) + 1;
  const size_t smallCap = size_t(data[0] >> 4) * 16;
  const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);

  for (auto [bodyCap, headCap] : {std::pair{kHTTPBodyCap, kHTTPHeadCap}, std::pair{smallCap, smallCap * 4 + 16}}) {
    const Read whole = ReadInPieces(answer, bodyCap, headCap, answer.size() + 1);
    const Read split = ReadInPieces(answer, bodyCap, headCap, piece);
    const HTTPAnswerReader& w = whole.reader;
    const HTTPAnswerReader& s = split.reader;
    Check(whole.early == split.early);
    Check(w.End() == s.End());
    Check(w.StatusCode() == s.StatusCode() && w.Body() == s.Body() && w.Cut() == s.Cut());
    Check(SameHeaders(w.Headers(), s.Headers()));
    Check(w.StatusCode() >= 0 && w.StatusCode() <= 999);
    Check(w.Body().size() <= bodyCap);
    Check(answer.find(w.Body()) != std::string_view::npos);
    if (w.ContentLength()) Check(w.Body().size() <= *w.ContentLength());

    // How the answer ended, against what it holds.
    switch (w.End()) {
      case HTTPAnswerEnd::Open: Check(false); break;
      case HTTPAnswerEnd::Nothing: Check(answer.empty()); break;
      case HTTPAnswerEnd::Whole:
        if (w.ContentLength() && !w.Cut()) Check(w.Body().size() == *w.ContentLength());
        break;
      case HTTPAnswerEnd::BodyCutShort:
        Check(!whole.early && w.ContentLength() && w.Body().size() < *w.ContentLength());
        break;
      case HTTPAnswerEnd::HeadCutShort: Check(!whole.early && w.Body().empty() && !answer.empty()); break;
      case HTTPAnswerEnd::HeadTooLarge: Check(whole.early && w.Body().empty() && answer.size() > headCap); break;
    }
    if (!answer.empty()) Check(w.End() != HTTPAnswerEnd::Nothing);
    if (w.Cut()) Check(w.End() == HTTPAnswerEnd::Whole && w.Body().size() == bodyCap);
  }

  HTTPAnswerReader reader;
  reader.Feed(answer);
  reader.Finish();
  const std::string& body = reader.Body();
  for (const char* name : {"CurrentVersion", "Description", "Free"}) {
    const std::string value = FeedReturnValue(body, name);
    Check(Len(value) <= Len(body));
    if (!value.empty()) Check(InStr(0, body, FeedStartTag(name)) > 0);
  }
  const std::string version = FeedReturnValue(body, "CurrentVersion");
  (void)FeedVersionIsCurrent(version, 1, 1, 0);
  (void)TextEquals(FeedReturnValue(body, "Free"), "Yes");
  return 0;
}
