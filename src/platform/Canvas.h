// A framed, filled rectangle and a canvas that its owner paints.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Control.h"
#include "platform/Graphics.h"

struct Rect {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

class Rectangle : public ControlOf<Rectangle> {
 public:
  std::string ClassName() const override { return "Rectangle"; }

 private:
  friend class Window;
  explicit Rectangle(Window& window);
};

// Paint: ( Canvas, Graphics, Rect() ): the canvas, a surface for it and the
// areas to repaint. Raised when the canvas is first shown, when a hidden
// part is uncovered, and by Refresh.
class Canvas : public ControlOf<Canvas> {
 public:
  std::string ClassName() const override { return "Canvas"; }
  // How many times the canvas has been painted (for tests and measuring).
  int PaintCount() const { return paintCount_; }

 private:
  friend class Window;
  friend class CanvasWidget;
  explicit Canvas(Window& window);
  void Paint(Graphics& g, const std::vector<Rect>& areas);
  int paintCount_ = 0;
};
