#include "platform/core/Placement.h"

#include <algorithm>

QPoint CentredWithin(const QRect& available, const QSize& window) {
    const int x = available.x() + (available.width() - window.width()) / 2;
    const int y = available.y() + (available.height() - window.height()) / 2;
    return {std::max(x, available.x()), std::max(y, available.y())};
}
