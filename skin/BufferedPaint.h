// Off-screen painting, the one way every skinned control reaches the screen: the whole control
// is composed in a buffer of its size and copied in one step, so no partial state ever shows.
#pragma once

#include <QColor>
#include <functional>

class QPainter;
class QWidget;

// Paints `control` from its paint event. The buffer starts as the parent's background under the
// control when `transparent` (DoTrans), else filled with `background`; `draw` paints on it.
void PaintBuffered(QWidget* control, bool transparent, const QColor& background,
                   const std::function<void(QPainter&)>& draw);
