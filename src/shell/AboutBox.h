// The about box: the product's name, the running version, the credits and
// two links, to the author's mail and to the maker's web site.
#pragma once

#include "platform/Controls.h"
#include "platform/Window.h"

class AboutBox : public Window {
 public:
  std::string ClassName() const override { return "AboutBox"; }
  void Layout() override;
  void CreateControls() override;
  void CreateControls0();
  ::PushButton& PushButton1();
  ::PushButton& PushButton2();
  ::Label& StaticText2();
  ::Label& StaticText1();
  ::Label& StaticText3();
  ::Label& StaticText4();
  void PushButton1_Action(::PushButton& sender);
  void PushButton2_Action(::PushButton& sender);
  void StaticText4_Open(::Label& sender);
};

AboutBox& AboutBoxInstance();
