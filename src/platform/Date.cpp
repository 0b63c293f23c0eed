#include "platform/Date.h"

#include <QDateTime>
#include <QLocale>

#include "platform/internal/Native.h"

namespace {

class DesktopClock : public IClock {
 public:
  DateTimeParts Now() override {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return DateTimeParts{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
  }
};

IClock* installed = nullptr;

}  // namespace

IClock& RuntimeClock() {
  static DesktopClock desktop;
  return installed ? *installed : desktop;
}

void RuntimeSetClock(IClock* service) { installed = service; }

Date::Date() : parts_(RuntimeClock().Now()) {}
Date::Date(const DateTimeParts& parts) : parts_(parts) {}

// QLocale() is the desktop's locale unless the program set another default.
std::string Date::ShortTime() const {
  return FromQ(QLocale().toString(QTime(parts_.Hour, parts_.Minute, parts_.Second), QLocale::ShortFormat));
}

std::string Date::ShortDate() const {
  return FromQ(QLocale().toString(QDate(parts_.Year, parts_.Month, parts_.Day), QLocale::ShortFormat));
}
