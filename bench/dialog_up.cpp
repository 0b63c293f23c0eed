// Times the platform's message dialog with the largest texts an update
// feed can bring (its body is capped at 1 MiB) and with the worst shapes a
// text can take: for each case, the time from the call until the dialog is
// painted on the screen, and the longest gap of a 50 ms polling timer (the
// control panel's key poll) from the call until the dialog has been up for
// half a second. Not a test: it prints a table.
//   dialog_up [repeats] [case ...]    median of repeats (default 3) per case
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace {

constexpr size_t kMiB = 1 << 20;
constexpr int kPollMs = 50, kUpForMs = 500;

std::string Repeat(const std::string& piece, size_t bytes) {
  std::string s;
  s.reserve(bytes + piece.size());
  while (s.size() < bytes) s += piece;
  s.resize(bytes);
  // Not inside a UTF-8 sequence.
  while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xC0) == 0x80) s.pop_back();
  if (!s.empty() && static_cast<unsigned char>(s.back()) >= 0xC0) s.pop_back();
  return s;
}

std::string Message(const std::string& version) {
  return "Version " + version +
         " is now available. (You are using version 1.1.0.) This is a paid upgrade. Would you like to "
         "automatically download the trial version (using your web browser)?";
}

const std::string kNotes =
    "Fixes:\n- The announcement window keeps its place on a second screen.\n- Speech no longer stops after "
    "a long pause.\n\nNew:\n- Tables can be called in random order.\n";

struct Case {
  std::string name, message, explanation;
};

std::vector<Case> Cases() {
  const std::string alef = "\xD7\x90", acute = "\xCC\x81", beh = "\xD8\xA8";
  const std::string han = "\xE6\xBC\xA2", deva = "\xE0\xA4\xAC", thai = "\xE0\xB8\x81", hangul = "\xEA\xB0\x80";
  return {
      {"normal release note", Message("1.2.0"), kNotes},
      {"1 MiB word as the description", Message("1.2.0"), std::string(kMiB, 'x')},
      {"1 MiB word as the version", Message(std::string(kMiB, '7')), kNotes},
      {"1 MiB of short lines", Message("1.2.0"), Repeat("ab\n", kMiB)},
      {"1 MiB of line breaks", Message("1.2.0"), std::string(kMiB, '\n')},
      {"1 MiB, a blank every 8 letters", Message("1.2.0"), Repeat("abcdefg ", kMiB)},
      {"1 MiB of blanks", Message("1.2.0"), std::string(kMiB, ' ')},
      {"1 MiB of tabs", Message("1.2.0"), std::string(kMiB, '\t')},
      {"1 MiB of combining marks on one letter", Message("1.2.0"), "a" + Repeat(acute, kMiB - 1)},
      {"1 MiB right-to-left word", Message("1.2.0"), Repeat(alef, kMiB)},
      {"1 MiB Arabic word", Message("1.2.0"), Repeat(beh, kMiB)},
      {"1 MiB of alternating directions", Message("1.2.0"), Repeat("a" + alef, kMiB)},
      {"1 MiB of alternating scripts", Message("1.2.0"), Repeat("a" + han + deva + thai + hangul, kMiB)},
      {"1 MiB of emoji", Message("1.2.0"), Repeat("\xF0\x9F\x98\x80", kMiB)},
      {"1 MiB word in both texts", Message(std::string(kMiB, '7')), std::string(kMiB, 'x')},
      {"1 MiB of alternating directions in both texts", Message(Repeat("a" + alef, kMiB)), Repeat("a" + alef, kMiB)},
      {"1 MiB of combining marks in both texts", Message("a" + Repeat(acute, kMiB)), "a" + Repeat(acute, kMiB)},
  };
}

struct Result {
  double upMs = -1, longestGapMs = 0;
  QRect frame, screen;
};

// One showing: the dialog is cancelled once it has been up for a while, or
// after a minute if it never comes up.
Result ShowOnce(const Case& c) {
  Result r;
  MessageDialog d;
  d.Title = "New version available!";
  d.Message = c.message;
  d.Explanation = c.explanation;
  d.Icon = 3;
  d.CancelButton.Visible = true;
  d.AlternateActionButton.Caption = "Go to Website";
  d.AlternateActionButton.Visible = true;

  QElapsedTimer clock;
  qint64 lastPoll = 0;
  QTimer poll;
  poll.setTimerType(Qt::PreciseTimer);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    r.longestGapMs = std::max(r.longestGapMs, (now - lastPoll) / 1e6);
    lastPoll = now;
  });

  // The dialog is up once its first paint has been done and flushed: the
  // zero timer runs after the event that painted it.
  struct Watch : QObject {
    std::function<void(QWidget*)> painted;
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() == QEvent::Paint && o->isWidgetType()) {
        auto* w = static_cast<QWidget*>(o);
        if (qobject_cast<QDialog*>(w->window())) painted(w->window());
      }
      return false;
    }
  } watch;
  bool seen = false;
  watch.painted = [&](QWidget* dialog) {
    if (seen) return;
    seen = true;
    QTimer::singleShot(0, [&, dialog] {
      r.upMs = clock.nsecsElapsed() / 1e6;
      r.frame = dialog->frameGeometry();
      r.screen = dialog->screen()->availableGeometry();
      QTimer::singleShot(kUpForMs, dialog, [dialog] { static_cast<QDialog*>(dialog)->reject(); });
    });
  };
  qApp->installEventFilter(&watch);
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  giveUp.start(60000);

  clock.start();
  poll.start(kPollMs);
  d.ShowModal();
  // The gap still open when the dialog closed counts too.
  r.longestGapMs = std::max(r.longestGapMs, (clock.nsecsElapsed() - lastPoll) / 1e6);
  qApp->removeEventFilter(&watch);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::vector<std::string> only(argv + std::min(argc, 2), argv + argc);

  std::printf("Each text shown up to %zu characters.\n\n", kMessageDialogMostShown);
  std::printf("| text | to dialog up, median of %d (ms) | longest gap of a 50 ms poll (ms) | on the screen |\n",
              repeats);
  std::printf("|---|---|---|---|\n");
  for (const Case& c : Cases()) {
    if (!only.empty() && std::find(only.begin(), only.end(), c.name) == only.end()) continue;
    std::vector<double> up;
    double gap = 0;
    bool onScreen = true;
    for (int i = 0; i < repeats; ++i) {
      const Result r = ShowOnce(c);
      up.push_back(r.upMs);
      gap = std::max(gap, r.longestGapMs);
      onScreen = onScreen && r.upMs >= 0 && r.screen.contains(r.frame);
    }
    std::sort(up.begin(), up.end());
    const double median = up[up.size() / 2];
    if (median < 0)
      std::printf("| %s | not up within 60 s | %.0f | - |\n", c.name.c_str(), gap);
    else
      std::printf("| %s | %.1f | %.0f | %s |\n", c.name.c_str(), median, gap, onScreen ? "yes" : "NO");
    std::fflush(stdout);
  }
  return 0;
}
