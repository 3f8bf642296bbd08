// The colour of the output's pictures: what the source's pictures say of their colour, the
// description every output is converted to and tagged with, and the scaling step that converts
// into it (libav's scale filter, or zimg's zscale for wide-gamut and HDR pictures). Plain values
// and filter text, so the rules can be checked without a clip.
#pragma once

#include <string>

namespace kivo {

// What the source's pictures say about themselves, as far as their processing depends on it:
// declared by the source before decoding, and taken again from the first decoded picture.
struct PictureFacts {
    int rotation = 0;         // clockwise degrees that turn the stored picture upright
    bool interlaced = false;  // the stream or its pictures say they hold two fields
    // libav's AVColorSpace, AVColorRange, AVColorTransferCharacteristic and AVColorPrimaries.
    int colourSpace = 2;  // 2: unspecified
    int colourRange = 0;  // 0: unspecified, 1: limited (TV), 2: full (PC, JPEG)
    int colourTransfer = 2;
    int colourPrimaries = 2;
    int height = 0;  // the stored height, which tells HD from SD when the matrix is not said
    int width = 0;   // the stored width; 0 when not known
};

// The colour description every output picture is converted to and tagged with (libav's enum
// values): BT.709 for HD frames (720 lines and more), BT.601 (SMPTE 170M) for SD frames, whose
// players assume it when a file says nothing; limited (TV) range.
struct OutputColour {
    int space = 0;
    int primaries = 0;
    int transfer = 0;
    int range = 1;
};
OutputColour ColourForFrame(int frameHeight);

// The filter step that scales a source picture to `width` x `height` and turns it into the
// output's colour and 8-bit 4:2:0 (10-bit pictures dithered down on the way): one scaling that
// also changes the range and the pixel format, and a change of matrix on the scaled picture.
// HDR pictures are tone-mapped to SDR when `canToneMap` (zscale and tonemap are there);
// otherwise they are converted by their matrix alone and `note` says so (else it is cleared).
std::string ScaleIntoOutputColour(int width, int height, const PictureFacts& picture,
                                  const OutputColour& output, bool canToneMap, std::string& note);

}  // namespace kivo
