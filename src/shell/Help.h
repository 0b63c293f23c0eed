// The help window: the operator's instructions in a styled text area, the
// source of the text that Print Help prints.
#pragma once

#include "platform/Controls.h"
#include "platform/TextArea.h"
#include "platform/Window.h"

class Help : public Window {
 public:
  std::string ClassName() const override { return "Help"; }
  void Layout() override;
  void CreateControls() override;
  void CreateControls0();
  ::PushButton& PushButton1();
  ::TextArea& TextArea1();
  void PushButton1_Action(::PushButton& sender);
  void TextArea1_Open(::TextArea& sender);
};

Help& HelpInstance();
