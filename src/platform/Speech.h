// Speech. A text given while another is being spoken waits its turn unless
// interrupt is true; texts given one after the other are spoken in order.
#pragma once

#include <string>

class ISpeech {
 public:
  virtual ~ISpeech() = default;
  virtual void Speak(const std::string& text, bool interrupt) = 0;
};

ISpeech& RuntimeSpeech();
void RuntimeSetSpeech(ISpeech* service);  // nullptr: the desktop's again

void RuntimeSpeak(const std::string& text, bool interrupt = false);
