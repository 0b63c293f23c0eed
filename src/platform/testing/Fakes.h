// Test doubles for the OS-facing services. Each records what it was asked
// and answers as the test says; Install puts it in place, the destructor
// restores the desktop's service.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Keyboard.h"
#include "platform/Speech.h"
#include "platform/Url.h"

class FakeDialogs : public IDialogs {
 public:
  FakeDialogs() { RuntimeSetDialogs(this); }
  ~FakeDialogs() override { RuntimeSetDialogs(nullptr); }
  void Beep() override { ++beeps; events.push_back("beep"); }
  void MsgBox(const std::string& text) override {
    messages.push_back(text);
    events.push_back("msgbox:" + text);
    if (onMsgBox) onMsgBox(text);
  }
  MessageDialogButton* ShowMessageDialog(MessageDialog& d) override {
    dialogs.push_back(d);
    events.push_back("dialog:" + d.Title);
    if (answer) return answer(d);
    return &d.CancelButton;
  }
  int beeps = 0;
  std::vector<std::string> messages;
  std::vector<MessageDialog> dialogs;  // copies, as they were shown
  std::vector<std::string> events;     // beeps, boxes and dialogs in order
  std::function<void(const std::string&)> onMsgBox;
  std::function<MessageDialogButton*(MessageDialog&)> answer;
};

class FakeUrlOpener : public IUrlOpener {
 public:
  FakeUrlOpener() { RuntimeSetUrlOpener(this); }
  ~FakeUrlOpener() override { RuntimeSetUrlOpener(nullptr); }
  void ShowURL(const std::string& url) override { urls.push_back(url); }
  std::vector<std::string> urls;
};

class FakeKeyboard : public IKeyboard {
 public:
  FakeKeyboard() { RuntimeSetKeyboard(this); }
  ~FakeKeyboard() override { RuntimeSetKeyboard(nullptr); }
  bool AsyncOSKey() override { ++osReads; return command; }
  bool AsyncOptionKey() override { ++optionReads; return option; }
  void Hold(bool commandDown, bool optionDown) { command = commandDown; option = optionDown; }
  bool command = false, option = false;
  int osReads = 0, optionReads = 0;
};

class FakeSpeech : public ISpeech {
 public:
  FakeSpeech() { RuntimeSetSpeech(this); }
  ~FakeSpeech() override { RuntimeSetSpeech(nullptr); }
  void Speak(const std::string& text, bool interrupt) override {
    texts.push_back(text);
    if (interrupt) ++interrupts;
  }
  std::vector<std::string> texts;
  int interrupts = 0;
};
