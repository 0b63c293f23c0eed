// Pictures of what a control shows on the screen, for tests that look at
// the pixels rather than at the calls that drew them.
#pragma once

class Control;
class QColor;
class QImage;

// The control's area of its window, painted afresh: the control and
// whatever shows through it (a transparent canvas over its rectangle).
QImage GrabControl(const Control& control);

// Whether any pixel of the image is exactly that colour.
bool Holds(const QImage& image, QColor color);
