#include "PictureColour.h"

#include <cstdio>

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace kivo {
namespace {

std::string Format(const char* pattern, auto... values) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

bool IsHd(int height) {
    return height >= 720;
}

// The scale filter's name of the matrix the source's YUV was made with. A source that does not
// say is taken as players take it: BT.709 when HD, BT.601 otherwise.
const char* SourceMatrix(const PictureFacts& picture) {
    switch (picture.colourSpace) {
        case AVCOL_SPC_BT709:
            return "bt709";
        case AVCOL_SPC_FCC:
            return "fcc";
        case AVCOL_SPC_BT470BG:
        case AVCOL_SPC_SMPTE170M:
            return "bt601";
        case AVCOL_SPC_SMPTE240M:
            return "smpte240m";
        case AVCOL_SPC_BT2020_NCL:
        case AVCOL_SPC_BT2020_CL:
            return "bt2020";
        default:
            return IsHd(picture.height) ? "bt709" : "bt601";
    }
}

bool IsHdr(const PictureFacts& picture) {
    return picture.colourTransfer == AVCOL_TRC_SMPTE2084 ||
           picture.colourTransfer == AVCOL_TRC_ARIB_STD_B67;
}

// zscale's names of the source's transfer, as far as the chain converts from it.
const char* ZscaleTransfer(int transfer) {
    switch (transfer) {
        case AVCOL_TRC_SMPTE2084:
            return "smpte2084";
        case AVCOL_TRC_ARIB_STD_B67:
            return "arib-std-b67";
        case AVCOL_TRC_BT2020_10:
            return "2020_10";
        case AVCOL_TRC_BT2020_12:
            return "2020_12";
        default:
            return "709";
    }
}

// Scales (and turns into the output's matrix, range and 8-bit 4:2:0) in one step with zimg:
// for BT.2020 pictures, whose wider primaries are mapped into the output's, and for HDR
// pictures, which are also tone-mapped to SDR on the way.
std::string ZscaleStep(int width, int height, const PictureFacts& picture, bool hd) {
    const char* inMatrix = picture.colourSpace == AVCOL_SPC_BT2020_CL ? "2020_cl" : "2020_ncl";
    if (picture.colourSpace == AVCOL_SPC_BT709) {
        inMatrix = "709";
    }
    const char* inPrimaries = picture.colourPrimaries == AVCOL_PRI_BT709 ? "709" : "2020";
    const char* inRange = picture.colourRange == AVCOL_RANGE_JPEG ? "full" : "limited";
    const char* matrix = hd ? "709" : "170m";
    const char* primaries = hd ? "709" : "170m";
    const char* transfer = hd ? "709" : "601";
    std::string step =
        Format("zscale=w=%d:h=%d:filter=bicubic:min=%s:pin=%s:rin=%s:tin=%s", width, height,
               inMatrix, inPrimaries, inRange, ZscaleTransfer(picture.colourTransfer));
    if (IsHdr(picture)) {
        // Linear light in floating point, tone-mapped with Hable's curve (it keeps highlights
        // and midtones apart), then down to the output's transfer.
        step += Format(
            ":t=linear:npl=100,format=gbrpf32le,zscale=p=%s,"
            "tonemap=tonemap=hable:desat=0,zscale=t=%s:m=%s:r=limited",
            primaries, transfer, matrix);
    } else {
        step += Format(":p=%s:t=%s:m=%s:r=limited", primaries, transfer, matrix);
    }
    return step;
}

// The scale filter's step: the size, and the range where it changes (the plain YUV path of
// swscale is the fastest), into the encoder's 8-bit 4:2:0. A change of matrix follows on the
// scaled picture: swscale would convert it through a full-size RGB picture of its own, which
// costs more than the scaling and rounds the colours twice (and clips those outside RGB);
// colormatrix works on the small YUV picture directly, in slices.
std::string ScaleStep(int width, int height, const PictureFacts& picture, bool hd) {
    std::string step = Format("scale=%d:%d:flags=bicubic", width, height);
    const std::string in = SourceMatrix(picture);
    const char* out = hd ? "bt709" : "bt601";
    if (picture.colourSpace == AVCOL_SPC_RGB) {
        step += std::string(":out_color_matrix=") + out;  // RGB pictures have no matrix yet
    }
    if (picture.colourRange == AVCOL_RANGE_JPEG) {
        step += ":in_range=full:out_range=limited";
    }
    step += ",format=yuv420p";
    if (picture.colourSpace != AVCOL_SPC_RGB && in != out) {
        step += ",colormatrix=src=" + in + ":dst=" + out;
    }
    return step;
}

}  // namespace

OutputColour ColourForFrame(int frameHeight) {
    if (IsHd(frameHeight)) {
        return OutputColour{AVCOL_SPC_BT709, AVCOL_PRI_BT709, AVCOL_TRC_BT709, AVCOL_RANGE_MPEG};
    }
    return OutputColour{AVCOL_SPC_SMPTE170M, AVCOL_PRI_SMPTE170M, AVCOL_TRC_SMPTE170M,
                        AVCOL_RANGE_MPEG};
}

std::string ScaleIntoOutputColour(int width, int height, const PictureFacts& picture,
                                  const OutputColour& output, bool canToneMap, std::string& note) {
    note.clear();
    const bool hd = output.space == AVCOL_SPC_BT709;
    const bool wideGamut = picture.colourPrimaries == AVCOL_PRI_BT2020 || IsHdr(picture);
    std::string step;
    if (wideGamut && canToneMap) {
        step = ZscaleStep(width, height, picture, hd);
    } else {
        if (IsHdr(picture)) {
            note = "HDR colours were not tone-mapped (the zscale and tonemap filters are missing)";
        }
        return ScaleStep(width, height, picture, hd);
    }
    // The scaling writes the encoder's format directly.
    return step + ",format=yuv420p";
}

}  // namespace kivo
