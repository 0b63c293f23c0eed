// The desktop's speech engine without its voice data: the program goes on
// without speech instead of ending.
#include <QDir>
#include <QTemporaryDir>

#include "TestMain.h"
#include "platform/Speech.h"

class SpeechNoDataTest : public QObject {
  Q_OBJECT

 private slots:
  void missingVoiceDataLeavesTheProgramRunning() {
    // The engine's data folder, empty; it starts only once per process, so
    // this has a process of its own.
    QTemporaryDir empty;
    QVERIFY(QDir(empty.path()).mkpath("espeak-ng-data"));
    qputenv("ESPEAK_DATA_PATH", empty.path().toUtf8());
    RuntimePrepareSpeech();
    RuntimeSpeak("TABLE 2:", false);
    int32_t rate = -1;
    QVERIFY(RuntimeSynthesizeSpeech("TABLE 2:", &rate).empty());
    QCOMPARE(rate, 0);
    // Still here, and still answering.
    QVERIFY(RuntimeSynthesizeSpeech("Please line up now").empty());
  }
};

SERVALO_TEST_MAIN(SpeechNoDataTest)
#include "tst_speech_nodata.moc"
