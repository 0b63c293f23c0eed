#pragma once

#include "platform/Window.h"

class selfTest : public Window {
 public:
  std::string ClassName() const override { return "selfTest"; }
  void Layout() override;
};

selfTest& selfTestInstance();
