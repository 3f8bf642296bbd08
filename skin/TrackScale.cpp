#include "skin/TrackScale.h"

#include <Qt>
#include <algorithm>
#include <cmath>

namespace {

// Rounds to the nearest integer, halves to the even neighbour, whatever the rounding mode.
long long RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    long long result = static_cast<long long>(lower);
    if (fraction > 0.5 || (fraction == 0.5 && (result % 2 != 0)))
        ++result;
    return result;
}

}  // namespace

int ThumbOffset(long long position, int min, int high, int span) {
    const long long range = static_cast<long long>(high) - min;
    return range == 0 ? 0 : static_cast<int>((position - min) * span / range);
}

int ValueAtPoint(int point, int thumbLength, int trackLength, int min, int high) {
    const int span = trackLength - thumbLength;
    long long value = 0;
    if (span > 0) {
        const long long product =
            static_cast<long long>(point - thumbLength / 2) * (static_cast<long long>(high) - min);
        value = RoundHalfEven(static_cast<double>(product) / span);
    }
    value += min;
    return static_cast<int>(std::clamp<long long>(value, min, high));
}

long long PageTowards(int position, int pressed, bool afterThumb, int page) {
    const long long p = position;
    return afterThumb ? std::min<long long>(p + page, pressed)
                      : std::max<long long>(p - page, pressed);
}

long long RepeatTowards(int position, int pointed, int page) {
    const long long jump = 3LL * page, p = position;
    if (pointed > position)
        return std::min<long long>(p + jump, pointed);
    if (pointed < position)
        return std::max<long long>(p - jump, pointed);
    return p;
}

bool KeyTarget(int key, int position, int page, int line, int min, int high, int& target) {
    const long long p = position;
    long long wanted;
    switch (key) {
        case Qt::Key_PageUp:
            wanted = p - page;
            break;
        case Qt::Key_PageDown:
            wanted = p + page;
            break;
        case Qt::Key_End:
            wanted = high;
            break;
        case Qt::Key_Home:
            wanted = min;
            break;
        case Qt::Key_Left:
        case Qt::Key_Up:
            wanted = p - line;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            wanted = p + line;
            break;
        default:
            return false;
    }
    target = static_cast<int>(std::clamp<long long>(wanted, min, high));
    return true;
}
