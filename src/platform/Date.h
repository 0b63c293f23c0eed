// The current date and time, from a clock behind a small interface so that
// tests can fix the moment.
#pragma once

#include <cstdint>
#include <string>

struct DateTimeParts {
  int32_t Year = 1970, Month = 1, Day = 1;
  int32_t Hour = 0, Minute = 0, Second = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  virtual DateTimeParts Now() = 0;  // local time
};

IClock& RuntimeClock();
void RuntimeSetClock(IClock* service);  // nullptr: the desktop's again

// A new Date holds the moment it was made.
class Date {
 public:
  Date();
  explicit Date(const DateTimeParts& parts);

  int32_t Year() const { return parts_.Year; }
  int32_t Month() const { return parts_.Month; }
  int32_t Day() const { return parts_.Day; }
  int32_t Hour() const { return parts_.Hour; }
  int32_t Minute() const { return parts_.Minute; }
  int32_t Second() const { return parts_.Second; }

  // Short forms in the desktop's locale ("2:07 PM" and "3/5/26" in the
  // United States, "14:07" and "05.03.26" in Germany).
  std::string ShortTime() const;
  std::string ShortDate() const;

 private:
  DateTimeParts parts_;
};
