// The desktop's speech engine itself (no test double): it synthesises the
// announcements, and a machine without sound does not stall the program.
#include <QElapsedTimer>

#include <cmath>
#include <cstdlib>

#include "TestMain.h"
#include "platform/Speech.h"

namespace {

// Seconds of audio louder than a whisper.
double VoicedSeconds(const std::vector<int16_t>& samples, int32_t rate) {
  size_t loud = 0;
  for (int16_t s : samples)
    if (std::abs(int(s)) > 1000) ++loud;
  return double(loud) / rate;
}

}  // namespace

class SpeechTest : public QObject {
  Q_OBJECT

 private slots:
  void synthesisesTheAnnouncements_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("table") << "TABLE 7:";
    QTest::newRow("request") << "Please line up now";
  }
  void synthesisesTheAnnouncements() {
    QFETCH(QString, text);
    int32_t rate = 0;
    const std::vector<int16_t> samples = RuntimeSynthesizeSpeech(text.toStdString(), &rate);
    QVERIFY(rate >= 8000);
    const double seconds = double(samples.size()) / rate;
    // A few words at a normal rate: well under a few seconds, but far more
    // than a click.
    QVERIFY2(seconds > 0.4 && seconds < 4.0, qPrintable(QString("%1 s").arg(seconds)));
    const double voiced = VoicedSeconds(samples, rate);
    QVERIFY2(voiced > 0.2, qPrintable(QString("%1 s voiced").arg(voiced)));
  }

  void speakingWithoutASoundDeviceGoesOn() {
    // This machine may have no audio device: the texts are dropped, and the
    // engine still answers the next request in turn.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 3; ++i) RuntimeSpeak("TABLE " + std::to_string(i) + ":", false);
    QVERIFY(clock.elapsed() < 1000);  // speaking never waits
    const std::vector<int16_t> samples = RuntimeSynthesizeSpeech("TABLE 1:");
    QVERIFY(!samples.empty());
  }
};

SERVALO_TEST_MAIN(SpeechTest)
#include "tst_speech.moc"
