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

// A source picture as it is stored and what turns it into the picture a player shows: the
// shape of its samples (a 16:9 DVD stores 720 x 480 samples of 32:27) and the clockwise turn
// that sets it upright.
struct SourcePicture {
    int width = 0;  // as stored
    int height = 0;
    int sampleAspectNum = 1;  // 0 or less in either: square samples
    int sampleAspectDen = 1;
    int rotation = 0;  // 0, 90, 180 or 270
};

// The pads for the picture as a player shows it: ComputeLetterbox on its display shape, taken
// exactly from the stored size and the sample aspect (not from a display size rounded to whole
// pixels, which would move a bar by two pixels now and then), with width and height swapped
// for a quarter turn.
LetterboxPads LetterboxForPicture(const SourcePicture& picture, int targetWidth, int targetHeight);
