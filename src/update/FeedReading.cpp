#include "update/FeedReading.h"

#include "platform/Text.h"

std::string FeedStartTag(const std::string& name) { return "<" + name + ">"; }
std::string FeedEndTag(const std::string& name) { return "</" + name + ">"; }

std::string FeedReturnValue(const std::string& source, const std::string& name) {
  const std::string start = FeedStartTag(name);
  const int32_t p = InStr(0, source, start);
  // Without a start tag, or without an end tag after it, there is no
  // value: the positions would point at an unrelated place or give a
  // negative length.
  if (p == 0) return {};
  const int32_t s = p + Len(start);
  const int32_t q = InStr(s, source, FeedEndTag(name));
  if (q == 0) return {};
  return Mid(source, s, q - s);
}

bool FeedVersionIsCurrent(const std::string& version, double major, double minor, double bug) {
  if (Val(NthField(version, ".", 1)) != major) return false;
  if (Val(NthField(version, ".", 2)) != minor) return false;
  return Val(NthField(version, ".", 3)) == bug;
}
