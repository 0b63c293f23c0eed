#include "platform/Speech.h"

#include <dlfcn.h>
#include <espeak-ng/speak_lib.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#ifdef SERVALO_BENCH_HOOKS
#include <cstdio>
#include <ctime>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// After the audio output fails, texts are dropped for this long before the
// engine is started afresh and the device looked for again (one may have
// been plugged in meanwhile).
constexpr auto kAudioRetry = std::chrono::seconds(60);

// The sound library that espeak-ng plays through reports a missing sound
// card on standard error, several lines for each attempt. The program runs
// on silently without a device, so those reports are muted; nothing else in
// the program uses that library. Found at run time: it is there only as a
// dependency of espeak-ng's audio output.
void IgnoreSoundLibraryError(const char*, int, const char*, int, const char*, ...) {}

void MuteSoundLibraryErrors() {
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  auto set = reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler"));
  if (set) set(IgnoreSoundLibraryError);
}

// Collects the samples that espeak-ng hands over in retrieval mode; the
// vector travels as the synthesis's user data.
int CollectSamples(short* wav, int count, espeak_EVENT* events) {
  auto* out = static_cast<std::vector<int16_t>*>(events ? events->user_data : nullptr);
  if (out && wav && count > 0) out->insert(out->end(), wav, wav + count);
  return 0;
}

// espeak-ng is one engine per process and not thread-safe, so every call
// into it is made on one thread of our own, which takes the requests in
// order. Speaking plays synchronously there: the event loop never waits,
// and each text is spoken to its end before the next one starts. The
// engine runs either for playing or for synthesis into memory, and is
// restarted when a request needs the other.
class EspeakSpeech : public ISpeech {
 public:
  ~EspeakSpeech() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      // At quit, what is still waiting is not spoken; the text being spoken
      // (a second or two at most) ends first.
      DropWaitingSpeech();
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
  }

  void Speak(const std::string& text, bool interrupt) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return;
      StartWorker();
      if (interrupt) DropWaitingSpeech();
      jobs_.push_back(Job{Job::Play, text, nullptr});
    }
    wake_.notify_all();
  }

  void Prepare() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return;
      StartWorker();
      jobs_.push_back(Job{Job::Prepare, {}, nullptr});
    }
    wake_.notify_all();
  }

  std::vector<int16_t> Synthesize(const std::string& text, int32_t* sampleRate) {
    auto result = std::make_shared<std::promise<Samples>>();
    std::future<Samples> done = result->get_future();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return {};
      StartWorker();
      jobs_.push_back(Job{Job::Retrieve, text, result});
    }
    wake_.notify_all();
    Samples s = done.get();
    if (sampleRate) *sampleRate = s.rate;
    return std::move(s.samples);
  }

 private:
  struct Samples {
    std::vector<int16_t> samples;
    int32_t rate = 0;
  };
  struct Job {
    enum Kind { Play, Prepare, Retrieve } kind;
    std::string text;
    std::shared_ptr<std::promise<Samples>> result;  // Retrieve only
  };
  enum class Mode { None, Playback, Memory };

  void StartWorker() {
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
  }

  void DropWaitingSpeech() {
    std::deque<Job> kept;
    for (Job& j : jobs_)
      if (j.kind == Job::Retrieve) kept.push_back(std::move(j));
    jobs_.swap(kept);
  }

  // ---- The worker thread: everything below runs there only.

  void Run() {
    MuteSoundLibraryErrors();
    for (;;) {
      Job job;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) break;  // stopping, nothing left to answer
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      switch (job.kind) {
        case Job::Play: Play(job.text); break;
        case Job::Prepare: PreparePlayback(); break;
        case Job::Retrieve: job.result->set_value(Retrieve(job.text)); break;
      }
    }
    Stop();
  }

  bool Use(Mode mode) {
    if (mode_ == mode) return true;
    Stop();
    // Without the flag, a missing or damaged voice data file ends the
    // whole process.
    const espeak_AUDIO_OUTPUT output = mode == Mode::Playback ? AUDIO_OUTPUT_SYNCH_PLAYBACK : AUDIO_OUTPUT_SYNCHRONOUS;
    rate_ = espeak_Initialize(output, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    mode_ = mode;
    // Initialisation reports success even when the data could not be read;
    // selecting the voice is what shows that the engine can speak.
    if (rate_ <= 0 || espeak_SetVoiceByName("en") != EE_OK) {
      Stop();
      return false;
    }
    if (mode == Mode::Memory) espeak_SetSynthCallback(CollectSamples);
    return true;
  }

  void Stop() {
    if (mode_ != Mode::None) espeak_Terminate();
    mode_ = Mode::None;
  }

  void PreparePlayback() {
    if (Clock::now() < retryAt_) return;
    if (!Use(Mode::Playback)) retryAt_ = Clock::now() + kAudioRetry;
  }

  void Play(const std::string& text) {
    if (Clock::now() < retryAt_) return;
    if (!Use(Mode::Playback)) {
      retryAt_ = Clock::now() + kAudioRetry;
      return;
    }
    const espeak_ERROR e =
        espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    if (e != EE_OK) {
      // No audio device (or it went away): drop texts for a while, then
      // start the engine afresh so that it looks for a device again.
      Stop();
      retryAt_ = Clock::now() + kAudioRetry;
    }
  }

  Samples Retrieve(const std::string& text) {
    Samples s;
    if (!Use(Mode::Memory)) return s;
    s.rate = rate_;
    espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &s.samples);
    return s;
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  std::thread worker_;
  bool stopping_ = false;
  // The worker's own.
  Mode mode_ = Mode::None;
  int rate_ = 0;
  Clock::time_point retryAt_{};
};

EspeakSpeech& Desktop() {
  static EspeakSpeech desktop;
  return desktop;
}

ISpeech* installed = nullptr;

}  // namespace

ISpeech& RuntimeSpeech() { return installed ? *installed : static_cast<ISpeech&>(Desktop()); }

void RuntimeSetSpeech(ISpeech* service) { installed = service; }

void RuntimeSpeak(const std::string& text, bool interrupt) {
#ifdef SERVALO_BENCH_HOOKS
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::fprintf(stderr, "servalo-bench speak %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
#endif
  RuntimeSpeech().Speak(text, interrupt);
}

void RuntimePrepareSpeech() {
  if (!installed) Desktop().Prepare();
}

std::vector<int16_t> RuntimeSynthesizeSpeech(const std::string& text, int32_t* sampleRate) {
  return Desktop().Synthesize(text, sampleRate);
}
