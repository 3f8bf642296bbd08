#include "converter/core/Letterbox.h"

#include <cmath>

namespace {

// Half the space the fitted side leaves, truncated toward zero.
int HalfGap(int target, float fitted) {
    const double half = (double(target) - double(fitted)) * 0.5;
    return int(std::trunc(half));
}

// An odd positive pad is made even: encoders want even frame sizes.
int Even(int pad) {
    return pad > 0 && pad % 2 != 0 ? pad - 1 : pad;
}

}  // namespace

LetterboxPads ComputeLetterbox(int sw, int sh, int tw, int th) {
    LetterboxPads pads;
    if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0)
        return pads;
    const float sourceAspect = float(double(sw) / double(sh));
    const float targetAspect = float(double(tw) / double(th));
    if (sourceAspect > targetAspect) {
        const float fittedHeight = float(double(sh) * double(tw) / double(sw));
        pads.top = pads.bottom = Even(HalfGap(th, fittedHeight));
    } else if (sourceAspect < targetAspect) {
        const float fittedWidth = float(double(sw) * double(th) / double(sh));
        pads.left = pads.right = Even(HalfGap(tw, fittedWidth));
    }
    if (pads.left < 0 || pads.top < 0)
        pads = LetterboxPads{};
    return pads;
}
