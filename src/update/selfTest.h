// The version window: the running version and the button that starts an
// update check.
#pragma once

#include "platform/Controls.h"
#include "platform/Window.h"

class selfTest : public Window {
 public:
  std::string ClassName() const override { return "selfTest"; }
  void Layout() override;
  void CreateControls() override;
  void CreateControls0();

  Label& StaticText1();
  Label& StaticText2();
  PushButton& PushButton1();

  void StaticText2_Open(Label& sender);
  void PushButton1_Action(PushButton& sender);
};

selfTest& selfTestInstance();
