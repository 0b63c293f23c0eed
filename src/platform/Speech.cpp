#include "platform/Speech.h"

#include <espeak-ng/speak_lib.h>

#include <condition_variable>
#include <deque>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

// espeak-ng speaks on a thread of its own, one text after the other, so the
// event loop never waits for speech and nothing queued is cut off. The
// engine starts on that thread too, so its start-up delays no window. With
// no audio device the texts are dropped in silence.
class EspeakSpeech : public ISpeech {
 public:
  ~EspeakSpeech() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      queue_.clear();
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
    if (ready_) espeak_Terminate();
  }

  void Speak(const std::string& text, bool interrupt) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
      if (interrupt) queue_.clear();
      queue_.push_back(text);
    }
    if (interrupt && ready_) espeak_Cancel();
    wake_.notify_all();
  }

 private:
  void Run() {
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCH_PLAYBACK, 0, nullptr, 0);
    ready_ = rate > 0;
    if (ready_) espeak_SetVoiceByName("en");
    for (;;) {
      std::string text;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        text = std::move(queue_.front());
        queue_.pop_front();
      }
      if (ready_)
        espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::string> queue_;
  std::thread worker_;
  bool stopping_ = false;
  std::atomic<bool> ready_{false};
};

ISpeech* installed = nullptr;

}  // namespace

ISpeech& RuntimeSpeech() {
  static EspeakSpeech desktop;
  return installed ? *installed : desktop;
}

void RuntimeSetSpeech(ISpeech* service) { installed = service; }

void RuntimeSpeak(const std::string& text, bool interrupt) { RuntimeSpeech().Speak(text, interrupt); }
