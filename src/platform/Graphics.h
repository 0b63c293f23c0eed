// A drawing surface: a canvas being painted or a printed page. One unit is
// one screen pixel on a canvas and 1/72 inch on a page; a text size in
// points is that many units.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Design.h"

class QPaintDevice;
class QPainter;

// A colour with alpha, as RuntimeRGBA makes it (alpha 0 is opaque).
struct ColorRGBA {
  uint8_t red = 0, green = 0, blue = 0, alpha = 0;
};
ColorRGBA RuntimeRGBA(int32_t red, int32_t green, int32_t blue, int32_t alpha);

class Graphics {
 public:
  virtual ~Graphics();

  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  std::string TextFont = "System";
  float TextSize = 0;  // 0: the platform's default size
  ColorRGBA ForeColor{};

  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;

  // Draws text with its start at x and its baseline at y. A wrap width of 0
  // draws one line; condense is accepted and has no effect here.
  void DrawString(const std::string& text, double x, double y, double wrapWidth = 0, bool condense = false);
  // Ends the page and starts a new one (printing only).
  virtual void NextPage();

  // Draws on the surface with its painter. A printed page can go out
  // later, and more than once (copies, a range, the reverse order: see
  // Printing.h), so draw takes what it needs by value and sets up the
  // painter's font and pen itself.
  virtual void Paint(std::function<void(QPainter&)> draw);
  // The device that text is laid out for.
  virtual QPaintDevice* Device();

 protected:
  Graphics();
  virtual QPainter& Painter() = 0;
};

// Wraps a painter that someone else owns (a canvas's paint event).
class PainterGraphics : public Graphics {
 public:
  PainterGraphics(QPainter& painter, int32_t width, int32_t height);
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }

 protected:
  QPainter& Painter() override { return painter_; }

 private:
  QPainter& painter_;
  int32_t width_, height_;
};
