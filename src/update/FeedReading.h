// Reading the update feed: an element's text found by a plain search for
// its start and end tags, and the feed's version compared with a running
// one. No XML is parsed; the tags may stand anywhere in the text.
#pragma once

#include <string>

std::string FeedStartTag(const std::string& name);  // "<" name ">"
std::string FeedEndTag(const std::string& name);    // "</" name ">"

// The text between the first start tag of the element and the first end
// tag after it, unchanged. Empty when the start tag is absent or no end
// tag follows it.
std::string FeedReturnValue(const std::string& source, const std::string& name);

// Whether the feed's version (fields split at ".") names the running one:
// the number values of its first, second and third fields equal major,
// minor and bug, compared as doubles and one after the other. A missing
// field reads 0; later fields play no part.
bool FeedVersionIsCurrent(const std::string& version, double major, double minor, double bug);
