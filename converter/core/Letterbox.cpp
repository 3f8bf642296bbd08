#include "converter/core/Letterbox.h"

#include <cmath>
#include <utility>

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

// The rule on a source shape given as two exact lengths in any common unit.
LetterboxPads Fit(double sw, double sh, int tw, int th) {
    LetterboxPads pads;
    if (!(sw > 0) || !(sh > 0) || tw <= 0 || th <= 0)
        return pads;
    const float sourceAspect = float(sw / sh);
    const float targetAspect = float(double(tw) / double(th));
    if (sourceAspect > targetAspect) {
        const float fittedHeight = float(sh * double(tw) / sw);
        pads.top = pads.bottom = Even(HalfGap(th, fittedHeight));
    } else if (sourceAspect < targetAspect) {
        const float fittedWidth = float(sw * double(th) / sh);
        pads.left = pads.right = Even(HalfGap(tw, fittedWidth));
    }
    if (pads.left < 0 || pads.top < 0)
        pads = LetterboxPads{};
    return pads;
}

}  // namespace

LetterboxPads ComputeLetterbox(int sw, int sh, int tw, int th) {
    return Fit(double(sw), double(sh), tw, th);
}

LetterboxPads LetterboxForPicture(const SourcePicture& picture, int tw, int th) {
    const bool square = picture.sampleAspectNum <= 0 || picture.sampleAspectDen <= 0;
    // Both products are exact in a double: the display shape in units of 1/den sample widths.
    double width = double(picture.width) * (square ? 1 : picture.sampleAspectNum);
    double height = double(picture.height) * (square ? 1 : picture.sampleAspectDen);
    if (picture.width <= 0 || picture.height <= 0)
        width = height = 0;
    const int turn = (picture.rotation % 360 + 360) % 360;
    if (turn == 90 || turn == 270)
        std::swap(width, height);
    return Fit(width, height, tw, th);
}
