#include "platform/ProgressBar.h"

#include <QProgressBar>

#include <algorithm>

ProgressBar::ProgressBar(Window& window) : ControlOf(window, "ProgressBar") {
  auto* bar = new QProgressBar();
  bar->setTextVisible(false);
  SetWidget(bar);
  DeclareProperty("Value", PropKind::Integer, [this](const PropValue& v) { Value(std::get<int32_t>(v)); });
  DeclareProperty("Maximum", PropKind::Integer, [this](const PropValue& v) { Maximum(std::get<int32_t>(v)); });
  Apply();
}

void ProgressBar::Value(int32_t value) {
  value_ = value;
  Apply();
}

void ProgressBar::Maximum(int32_t maximum) {
  maximum_ = maximum;
  Apply();
}

void ProgressBar::Apply() {
  auto* bar = static_cast<QProgressBar*>(widget_);
  // A range of 0 to 0 is Qt's busy indicator.
  const int top = std::max(maximum_, 0);
  bar->setRange(0, top);
  bar->setValue(std::clamp(value_, 0, top));
}
