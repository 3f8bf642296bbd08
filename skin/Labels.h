// The plain labels of the windows: captions in a given colour and one-pixel grey rule lines.
#pragma once

#include <QColor>
#include <QLabel>
#include <QRect>

// A label with its text in `color` at `geometry` (no auto-size).
QLabel* MakeColouredLabel(QWidget* parent, const char* name, const QRect& geometry,
                          const QColor& color);

// A grey rule line: a label filled with RGB 128, 128, 128.
QLabel* MakeRuleLine(QWidget* parent, const char* name, const QRect& geometry);
