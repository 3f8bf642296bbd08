// The letterbox: black bars that keep a source's aspect inside the chosen frame size.
#pragma once

struct LetterboxPads {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;

    bool operator==(const LetterboxPads&) const = default;
};

// The pads that fit a source of `sourceWidth` x `sourceHeight` into a frame of `targetWidth` x
// `targetHeight`: bars above and below a wider source, left and right of a taller one, each
// even; none when the aspects are equal. The aspects and the fitted side are kept in single
// precision, as the bar heights our users know were always computed. A size that is zero or
// negative (a source without a picture) gives no pads.
LetterboxPads ComputeLetterbox(int sourceWidth, int sourceHeight, int targetWidth,
                               int targetHeight);
