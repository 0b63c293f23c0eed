// Text operations as the system uses them: positions and lengths count
// characters (UTF-8 code points) from 1, equality ignores letter case.
#pragma once

#include <cstdint>
#include <string>

// The decimal text of an integer: digits, a minus sign before a negative.
std::string StringStrInt32(int32_t value);

// The number with which the text begins, as a double. Leading blanks and
// tabs are skipped; an optional sign, digits, an optional fraction and an
// optional exponent are read; anything after them is ignored. A text that
// begins with no number gives 0.
double Val(const std::string& text);

// A double as a 32-bit integer: the fraction is dropped (towards zero), a
// value beyond the range is clamped to its nearest limit, NaN gives 0.
int32_t Int32FromDouble(double value);

// Length in characters.
int32_t Len(const std::string& text);
// Position (from 1) of the first occurrence of find at or after start (0 or
// 1: from the beginning), letter case ignored; 0 when there is none.
int32_t InStr(int32_t start, const std::string& source, const std::string& find);
// The characters from position start (from 1), length characters (a
// negative length: to the end).
std::string Mid(const std::string& text, int32_t start, int32_t length = -1);
std::string Left(const std::string& text, int32_t count);
// The n-th field (from 1) of the text split at the separator; empty when
// the text has fewer fields.
std::string NthField(const std::string& text, const std::string& separator, int32_t n);
std::string Lowercase(const std::string& text);
// Valid UTF-8 stays as it is; every byte of an invalid sequence becomes
// U+FFFD, so later text operations see valid text only.
std::string ValidUtf8(const std::string& text);
bool TextEquals(const std::string& a, const std::string& b);  // ignores letter case
