// Drawing rules shared by every skinned control.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;
class QWidget;

// The parent's background and content exactly as they lie under `control`.
void DoTrans(QPainter& canvas, QWidget* control);

// Frame `frame` (1-based) of `source` cut into `frames` pieces of equal width.
QImage SpitBitmap(const QImage& source, int frames, int frame);

// Three-part drawing: ends unscaled with fuchsia transparent, middle stretched.
void SpitDrawHorizontal(const QImage& picture, QPainter& canvas, const QRect& rect);

// Nine-part drawing: corners unscaled, middle row and column stretched.
void SpitDraw(const QImage& picture, QPainter& canvas, const QRect& rect, bool transparent);

// A quarter turn counter-clockwise: the pixel at (x, y) moves to (y, width - 1 - x).
QImage RoundPicture(const QImage& bitmap);

// `picture` with every pixel of `key` made fully transparent.
QImage WithKeyColor(const QImage& picture, QRgb key);

constexpr QRgb clFuchsia = 0xFFFF00FF;

// The dotted black focus rectangle along the edge pixels of `rect`.
void DrawFocusRect(QPainter& canvas, const QRect& rect);

// The colour of the frame a skinned edit or list draws while it has the keyboard focus: the
// desktop's highlight colour.
QColor FocusRingColor();
