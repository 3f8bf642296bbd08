// Where a window opens: centred on the screen's available area (the desktop without its panels),
// and never beyond its top-left corner, so that a window larger than the screen (a small screen
// at a 2x scale) keeps its title and close button within reach.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

QPoint CentredWithin(const QRect& available, const QSize& window);
