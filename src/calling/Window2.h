// The announcement window: "TABLE" and the number above "Please line up now."
#pragma once

#include "platform/Canvas.h"
#include "platform/Window.h"

class Window2 : public Window {
 public:
  std::string ClassName() const override { return "Window2"; }

  void Layout() override;
  void CreateControls() override;
  void CreateControls0();
  ::Rectangle& Rectangle1();
  Canvas& Banner1();
  Canvas& Banner2();
  void Banner1_Paint(Canvas& sender, Graphics& g, const std::vector<Rect>& areas);
  void Banner2_Paint(Canvas& sender, Graphics& g, const std::vector<Rect>& areas);
  void Event_Open() override;
};

Window2& Window2Instance();
