#include "Levels.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <iterator>

namespace kivo {
namespace {

// ITU-T H.264 Table A-1, Baseline and Main profile limits.
constexpr H264Level kH264Levels[] = {
    {10, "1", 1485, 99, 396, 64, 175},
    {9, "1b", 1485, 99, 396, 128, 350},
    {11, "1.1", 3000, 396, 900, 192, 500},
    {12, "1.2", 6000, 396, 2376, 384, 1000},
    {13, "1.3", 11880, 396, 2376, 768, 2000},
    {20, "2.0", 11880, 396, 2376, 2000, 2000},
    {21, "2.1", 19800, 792, 4752, 4000, 4000},
    {22, "2.2", 20250, 1620, 8100, 4000, 4000},
    {30, "3.0", 40500, 1620, 8100, 10000, 10000},
    {31, "3.1", 108000, 3600, 18000, 14000, 14000},
    {32, "3.2", 216000, 5120, 20480, 20000, 20000},
    {40, "4.0", 245760, 8192, 32768, 20000, 25000},
    {41, "4.1", 245760, 8192, 32768, 50000, 62500},
    {42, "4.2", 522240, 8704, 34816, 50000, 62500},
    {50, "5.0", 589824, 22080, 110400, 135000, 135000},
    {51, "5.1", 983040, 36864, 184320, 240000, 240000},
    {52, "5.2", 2073600, 36864, 184320, 240000, 240000},
};

// ISO/IEC 14496-2 Simple Profile levels: picture size and macroblock rate limits. L0 has the
// limits of L1; L1 is the one every Simple Profile decoder knows.
struct Mpeg4Limits {
    int level;
    const char* name;
    int maxMbs;
    long long maxMbps;
};
constexpr Mpeg4Limits kMpeg4SimpleLevels[] = {
    {1, "Simple Profile level 1", 99, 1485},    {2, "Simple Profile level 2", 396, 5940},
    {3, "Simple Profile level 3", 396, 11880},  {4, "Simple Profile level 4a", 1200, 36000},
    {5, "Simple Profile level 5", 1620, 40500}, {6, "Simple Profile level 6", 3600, 108000},
};

int Macroblocks(int pixels) {
    return (std::max(pixels, 0) + 15) / 16;
}

bool FitsPicture(const H264Level& level, int widthMbs, int heightMbs) {
    const long long side = 8LL * level.maxFs;
    return static_cast<long long>(widthMbs) * heightMbs <= level.maxFs &&
           static_cast<long long>(widthMbs) * widthMbs <= side &&
           static_cast<long long>(heightMbs) * heightMbs <= side;
}

// Macroblocks per second within `maxMbps`, compared without rounding.
bool FitsRate(long long maxMbps, long long frameMbs, int rateNum, int rateDen) {
    return rateNum <= 0 || frameMbs * rateNum <= maxMbps * std::max(rateDen, 1);
}

std::string Sentence(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Sentence(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

const char* Players(DeviceFamily family) {
    switch (family) {
        case DeviceFamily::Phone3gp:
            return "a 3GP phone";
        case DeviceFamily::Psp:
            return "the PSP";
        case DeviceFamily::Ipod:
            return "the iPod";
        default:
            return "the player";
    }
}

// A frame rate in the fewest digits: 39.6, 33.75, 30.
std::string RateText(double fps) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", fps);
    std::string result = text;
    result.erase(result.find_last_not_of('0') + 1);
    if (result.back() == '.') {
        result.pop_back();
    }
    return result;
}

}  // namespace

const H264Level* LowestH264Level(const VideoShape& shape) {
    const int widthMbs = Macroblocks(shape.width);
    const int heightMbs = Macroblocks(shape.height);
    const long long frameMbs = static_cast<long long>(widthMbs) * heightMbs;
    for (const H264Level& level : kH264Levels) {
        if (FitsPicture(level, widthMbs, heightMbs) &&
            FitsRate(level.maxMbps, frameMbs, shape.rateNum, shape.rateDen) &&
            shape.kbps <= level.maxKbps && frameMbs * std::max(shape.refs, 1) <= level.maxDpbMbs) {
            return &level;
        }
    }
    return nullptr;
}

const H264Level* H264LevelByIdc(int idc) {
    auto found = std::find_if(std::begin(kH264Levels), std::end(kH264Levels),
                              [idc](const H264Level& level) { return level.idc == idc; });
    return found == std::end(kH264Levels) ? nullptr : found;
}

int H264RefsThatFit(const H264Level& level, int width, int height, int wanted) {
    const long long frameMbs = static_cast<long long>(Macroblocks(width)) * Macroblocks(height);
    const long long fit = frameMbs > 0 ? level.maxDpbMbs / frameMbs : 16;
    return static_cast<int>(std::clamp<long long>(std::min<long long>(wanted, fit), 1, 16));
}

Mpeg4Level LowestMpeg4Level(int width, int height, int rateNum, int rateDen) {
    const long long frameMbs = static_cast<long long>(Macroblocks(width)) * Macroblocks(height);
    for (const Mpeg4Limits& limits : kMpeg4SimpleLevels) {
        if (frameMbs <= limits.maxMbs && FitsRate(limits.maxMbps, frameMbs, rateNum, rateDen)) {
            return {0, limits.level, limits.name};
        }
    }
    return {15, 5, "Advanced Simple Profile level 5"};
}

int FamilyH264Ceiling(DeviceFamily family, int width, int height) {
    switch (family) {
        case DeviceFamily::Phone3gp:
            return width <= 176 && height <= 144 ? 13 : 20;
        case DeviceFamily::Psp:
            return 30;
        case DeviceFamily::Ipod:
            return width <= 320 && height <= 240 ? 13 : 30;
        case DeviceFamily::Pda:
        case DeviceFamily::Mp4:
            break;
    }
    return 0;
}

std::string CeilingRefusal(DeviceFamily family, const VideoShape& shape) {
    const H264Level* ceiling = H264LevelByIdc(FamilyH264Ceiling(family, shape.width, shape.height));
    if (!ceiling) {
        return std::string();
    }
    const int widthMbs = Macroblocks(shape.width);
    const int heightMbs = Macroblocks(shape.height);
    const long long frameMbs = static_cast<long long>(widthMbs) * heightMbs;
    const char* players = Players(family);
    if (!FitsPicture(*ceiling, widthMbs, heightMbs)) {
        return Sentence("%s takes H.264 up to level %s, too small for %dx%d; lower the resolution",
                        players, ceiling->name, shape.width, shape.height);
    }
    if (!FitsRate(ceiling->maxMbps, frameMbs, shape.rateNum, shape.rateDen)) {
        return Sentence("%s takes at most %s fps H.264 at %dx%d; lower the frame rate", players,
                        RateText(double(ceiling->maxMbps) / double(frameMbs)).c_str(), shape.width,
                        shape.height);
    }
    if (shape.kbps > ceiling->maxKbps) {
        return Sentence("%s takes at most %d kbps H.264 at %dx%d; lower the video quality", players,
                        ceiling->maxKbps, shape.width, shape.height);
    }
    return std::string();
}

}  // namespace kivo
