// Speech. Texts are spoken one after the other, in the order given; a text
// given while another is being spoken waits its turn. Speaking never blocks
// the caller, and with no audio device the texts are dropped in silence.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ISpeech {
 public:
  virtual ~ISpeech() = default;
  // interrupt true drops the texts still waiting; the one being spoken ends
  // first.
  virtual void Speak(const std::string& text, bool interrupt) = 0;
};

ISpeech& RuntimeSpeech();
void RuntimeSetSpeech(ISpeech* service);  // nullptr: the desktop's again

void RuntimeSpeak(const std::string& text, bool interrupt = false);

// Starts the desktop's speech engine in the background, so that the first
// announcement does not wait for it. Does nothing while a test double is
// installed. The run-time calls it once the event loop runs.
void RuntimePrepareSpeech();

// Synthesises a text with the desktop's engine into memory without playing
// it: 16-bit mono samples, at *sampleRate samples a second when sampleRate
// is given. Empty when the engine cannot start. Waits for the texts queued
// before it and for the synthesis.
std::vector<int16_t> RuntimeSynthesizeSpeech(const std::string& text, int32_t* sampleRate = nullptr);
