#pragma once

#include "platform/Window.h"

class AboutBox : public Window {
 public:
  std::string ClassName() const override { return "AboutBox"; }
  void Layout() override;
};

AboutBox& AboutBoxInstance();
