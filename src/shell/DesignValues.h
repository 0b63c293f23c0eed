// Design values that the program's windows and controls share, so each
// design spells out only what is its own.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Design.h"

// A window of fixed size at the platform's default place, shown as soon as
// it is built, without a background colour of its own.
DesignBlock FixedWindowDesign(const std::string& title, int32_t width, int32_t height, int32_t frame = 0,
                              bool closeButton = true, bool minimizeButton = false);

// What every visible control has in common: in no control set, placed on
// the window (or inside the named control), locked to the left and top,
// enabled and visible. TabStop is left to each design.
DesignBlock ControlDesign(int32_t left, int32_t top, int32_t width, int32_t height, int32_t tab,
                          const std::string& parent = "", bool lockRight = false, bool lockBottom = false);

// The text settings of a control with text: a font, bold or not, neither
// italic nor underlined.
DesignBlock& TextDesign(DesignBlock& block, const std::string& font, bool bold);

// A plain label: its text, alignment (0 left, 1 centred, 2 right) and
// whether it wraps; black, not selectable, not transparent, unbound.
DesignBlock& LabelDesign(DesignBlock& block, const std::string& text, int32_t align, bool multiline);
