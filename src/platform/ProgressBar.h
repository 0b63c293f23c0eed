// A progress bar: Value out of Maximum; a Maximum of 0 makes it an
// indeterminate bar that shows activity without a value.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Control.h"

class ProgressBar : public ControlOf<ProgressBar> {
 public:
  std::string ClassName() const override { return "ProgressBar"; }
  int32_t Value() const { return value_; }
  void Value(int32_t value);
  int32_t Maximum() const { return maximum_; }
  void Maximum(int32_t maximum);
  bool Indeterminate() const { return maximum_ <= 0; }

 private:
  friend class Window;
  explicit ProgressBar(Window& window);
  void Apply();
  int32_t value_ = 0, maximum_ = 100;
};
