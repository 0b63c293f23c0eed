#include "platform/Graphics.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "platform/internal/Native.h"

ColorRGBA RuntimeRGBA(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  auto clamp = [](int32_t v) { return uint8_t(std::clamp(v, 0, 255)); };
  return ColorRGBA{clamp(red), clamp(green), clamp(blue), clamp(alpha)};
}

Graphics::Graphics() = default;
Graphics::~Graphics() = default;

void Graphics::NextPage() {}

void Graphics::Paint(std::function<void(QPainter&)> draw) { draw(Painter()); }

QPaintDevice* Graphics::Device() { return Painter().device(); }

void Graphics::DrawString(const std::string& text, double x, double y, double wrapWidth, bool /*condense*/) {
  // The surface's text settings as they are now.
  QFont f = QApplication::font();
  if (TextFont != "System" && !TextFont.empty()) f.setFamily(ResolveFontFamily(TextFont));
  // A point is one unit of the surface.
  if (TextSize > 0) f.setPixelSize(std::max(1, int(std::lround(TextSize))));
  f.setBold(Bold);
  f.setItalic(Italic);
  f.setUnderline(Underline);
  const QColor color(ForeColor.red, ForeColor.green, ForeColor.blue, 255 - ForeColor.alpha);
  Paint([f, color, q = ToQ(text), x, y, wrapWidth](QPainter& p) {
    p.setFont(f);
    p.setPen(color);
    if (wrapWidth <= 0) {
      p.drawText(QPointF(x, y), q);
      return;
    }
    // Wrapped: the first line's baseline at y, later lines below it.
    QTextLayout layout(q, p.font(), p.device());
    layout.beginLayout();
    double top = 0;
    QList<QTextLine> lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(wrapWidth);
      line.setPosition(QPointF(0, top));
      top += line.height();
      lines.append(line);
    }
    layout.endLayout();
    const double ascent = lines.isEmpty() ? 0 : lines.first().ascent();
    layout.draw(&p, QPointF(x, y - ascent));
  });
}

PainterGraphics::PainterGraphics(QPainter& painter, int32_t width, int32_t height)
    : painter_(painter), width_(width), height_(height) {}
