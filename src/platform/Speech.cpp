#include "platform/Speech.h"

#include <dlfcn.h>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <pcaudiolib/audio.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/internal/SystemLibraries.h"

#ifdef SERVALO_BENCH_HOOKS
#include "platform/internal/Native.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

// After the audio output fails, texts are dropped for this long before the
// device is tried again.
constexpr auto kAudioRetry = std::chrono::seconds(60);

// espeak-ng and the sound libraries under it (a score of them) are loaded
// on the speech thread when the engine first starts, not with the program:
// the control panel does not wait for them.
constexpr const char* kEngineLibrary = "libespeak-ng.so.1";

// The engine's entry points, found in the library once it is loaded.
struct Engine {
  decltype(&espeak_ng_InitializePath) InitializePath = nullptr;
  decltype(&espeak_ng_Initialize) Initialize = nullptr;
  decltype(&espeak_ng_ClearErrorContext) ClearErrorContext = nullptr;
  decltype(&espeak_SetSynthCallback) SetSynthCallback = nullptr;
  decltype(&espeak_ng_InitializeOutput) InitializeOutput = nullptr;
  decltype(&espeak_ng_SetVoiceByName) SetVoiceByName = nullptr;
  decltype(&espeak_ng_GetSampleRate) GetSampleRate = nullptr;
  decltype(&espeak_ng_Synthesize) Synthesize = nullptr;
  decltype(&espeak_ng_Terminate) Terminate = nullptr;
  // The sound-device library the engine plays through, one of its own
  // dependencies: SoundDeviceOpens asks it whether playing can work.
  decltype(&create_audio_device_object) CreateAudio = nullptr;
  decltype(&audio_object_open) OpenAudio = nullptr;
  decltype(&audio_object_close) CloseAudio = nullptr;
  decltype(&audio_object_destroy) DestroyAudio = nullptr;
  void* library = nullptr;

  // False, with nothing loaded, when the library or one of its entry points
  // is missing: the program then runs without speech.
  bool Load() {
    // From the system's folders only, the one it was found in at build time
    // first.
    library = RuntimeOpenSystemLibrary(kEngineLibrary, SERVALO_ENGINE_LIBRARY_DIR);
    if (!library) return false;
    const bool found = Find(InitializePath, "espeak_ng_InitializePath") &&
                       Find(Initialize, "espeak_ng_Initialize") &&
                       Find(ClearErrorContext, "espeak_ng_ClearErrorContext") &&
                       Find(SetSynthCallback, "espeak_SetSynthCallback") &&
                       Find(InitializeOutput, "espeak_ng_InitializeOutput") &&
                       Find(SetVoiceByName, "espeak_ng_SetVoiceByName") &&
                       Find(GetSampleRate, "espeak_ng_GetSampleRate") &&
                       Find(Synthesize, "espeak_ng_Synthesize") && Find(Terminate, "espeak_ng_Terminate");
    if (!found) {
      dlclose(library);
      library = nullptr;
      return false;
    }
    // Optional: without them, SoundDeviceOpens cannot ask.
    Find(CreateAudio, "create_audio_device_object");
    Find(OpenAudio, "audio_object_open");
    Find(CloseAudio, "audio_object_close");
    Find(DestroyAudio, "audio_object_destroy");
    return true;
  }

  // Whether the sound device opens now, asked as the engine asks when it
  // starts to play. Without a device the engine would say so on standard
  // error for every text; asking first keeps a program without sound
  // silent. True when it cannot be asked: the engine then finds out.
  bool SoundDeviceOpens(int rate) {
    if (!CreateAudio || !OpenAudio || !CloseAudio || !DestroyAudio) return true;
    audio_object* device = CreateAudio(nullptr, "Servalo", "Announcements");
    if (!device) return false;
    const bool opens = OpenAudio(device, AUDIO_OBJECT_FORMAT_S16LE, uint32_t(rate), 1) == 0;
    if (opens) CloseAudio(device);
    DestroyAudio(device);
    return opens;
  }

  template <class F>
  bool Find(F& fn, const char* name) {
    fn = reinterpret_cast<F>(dlsym(library, name));
    return fn != nullptr;
  }
};

// The sound library that espeak-ng plays through reports a missing sound
// card on standard error, several lines for each attempt. The program runs
// on silently without a device, so those reports are muted; nothing else in
// the program uses that library. Looked up among the engine's own
// dependencies, where it is when it is there at all.
void IgnoreSoundLibraryError(const char*, int, const char*, int, const char*, ...) {}

void MuteSoundLibraryErrors(void* engineLibrary) {
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  auto set = reinterpret_cast<SetHandler>(dlsym(engineLibrary, "snd_lib_error_set_handler"));
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
// and each text is spoken to its end before the next one starts.
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
  enum class State { Unstarted, Ready, Broken };
  enum class Output { Playback, Memory };

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

  // espeak-ng cannot be started a second time in one process, so it is
  // started once, on first need, and only its output is switched between
  // playing and memory.
  bool Started() {
    if (state_ == State::Unstarted) {
      state_ = State::Broken;
      if (!engine_.Load()) return false;
      MuteSoundLibraryErrors(engine_.library);
      engine_.InitializePath(nullptr);
      espeak_ng_ERROR_CONTEXT context = nullptr;
      // The voice data missing or damaged: no speech for this run.
      if (engine_.Initialize(&context) != ENS_OK) {
        engine_.ClearErrorContext(&context);
        return false;
      }
      engine_.SetSynthCallback(CollectSamples);
      if (engine_.InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr) != ENS_OK) return false;
      output_ = Output::Memory;
      if (engine_.SetVoiceByName("en") != ENS_OK) return false;
      rate_ = engine_.GetSampleRate();
      state_ = State::Ready;
    }
    return state_ == State::Ready;
  }

  bool Use(Output output) {
    if (!Started()) return false;
    if (output_ == output) return true;
    const auto mode = output == Output::Playback
                          ? espeak_ng_OUTPUT_MODE(ENOUTPUT_MODE_SYNCHRONOUS | ENOUTPUT_MODE_SPEAK_AUDIO)
                          : ENOUTPUT_MODE_SYNCHRONOUS;
    // Playing opens the sound device here; without one, this still
    // succeeds and each text then fails at once.
    if (engine_.InitializeOutput(mode, 0, nullptr) != ENS_OK) return false;
    output_ = output;
    return true;
  }

  void Stop() {
    // Ending the engine with its output on a device that never opened
    // makes it report on standard error; with memory output it ends quietly.
    if (state_ == State::Ready && !deviceOpened_) Use(Output::Memory);
    if (state_ == State::Ready) engine_.Terminate();
    state_ = State::Broken;
  }

  void PreparePlayback() {
    if (Clock::now() >= retryAt_) Use(Output::Playback);
  }

  void Play(const std::string& text) {
    if (Clock::now() < retryAt_ || !Use(Output::Playback)) return;
    if (!deviceOpened_ && !engine_.SoundDeviceOpens(rate_)) {
      retryAt_ = Clock::now() + kAudioRetry;
      return;
    }
    deviceOpened_ = true;
    const espeak_ng_STATUS status =
        engine_.Synthesize(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    // No sound device (or it went away): drop the texts for a while
    // rather than fail at every one, then try the device again.
    if (status != ENS_OK) {
      deviceOpened_ = false;
      retryAt_ = Clock::now() + kAudioRetry;
    }
  }

  Samples Retrieve(const std::string& text) {
    Samples s;
    if (!Use(Output::Memory)) return s;
    s.rate = rate_;
    engine_.Synthesize(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &s.samples);
    return s;
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  std::thread worker_;
  bool stopping_ = false;
  // The worker's own.
  Engine engine_;
  State state_ = State::Unstarted;
  Output output_ = Output::Memory;
  int32_t rate_ = 0;
  bool deviceOpened_ = false;  // the sound device opened at the last try
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
  BenchStamp("speak");
#endif
  RuntimeSpeech().Speak(text, interrupt);
}

void RuntimePrepareSpeech() {
  if (!installed) Desktop().Prepare();
}

std::vector<int16_t> RuntimeSynthesizeSpeech(const std::string& text, int32_t* sampleRate) {
  return Desktop().Synthesize(text, sampleRate);
}
