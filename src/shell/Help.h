#pragma once

#include "platform/Window.h"

class Help : public Window {
 public:
  std::string ClassName() const override { return "Help"; }
  void Layout() override;
};

Help& HelpInstance();
