#include "Arguments.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "FrameSize.h"

namespace kivo {

const char kH263Sizes[] = "128x96, 176x144, 352x288, 704x576 or 1408x1152";

namespace {

bool ToInt(const std::string& text, long low, long high, int& value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) {
        return false;
    }
    value = int(v);
    return true;
}

bool ToSeconds(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || v < 0 || v > 1e7) {
        return false;
    }
    value = v;
    return true;
}

bool ParseVideoCodec(const std::string& text, VideoCodec& codec) {
    struct Name {
        const char* text;
        VideoCodec codec;
    };
    static const Name names[] = {{"mpeg4", VideoCodec::Mpeg4},  {"xvid", VideoCodec::Xvid},
                                 {"h263", VideoCodec::H263},    {"h263p", VideoCodec::H263Plus},
                                 {"h264", VideoCodec::H264},    {"x264", VideoCodec::H264},
                                 {"libx264", VideoCodec::H264}, {"avc", VideoCodec::H264}};
    for (const Name& name : names) {
        if (strcasecmp(text.c_str(), name.text) == 0) {
            codec = name.codec;
            return true;
        }
    }
    return false;
}

// The settings that take a whole number in a range.
struct IntegerSetting {
    const char* option;
    long low;
    long high;
    int ConversionArguments::*value;
    const char* what;  // its name in "Invalid top pad "-1""
};

const IntegerSetting* FindIntegerSetting(const std::string& option) {
    static const IntegerSetting settings[] = {
        {"-padtop", 0, kMaxFrameSide, &ConversionArguments::padTop, "top pad"},
        {"-padbottom", 0, kMaxFrameSide, &ConversionArguments::padBottom, "bottom pad"},
        {"-padleft", 0, kMaxFrameSide, &ConversionArguments::padLeft, "left pad"},
        {"-padright", 0, kMaxFrameSide, &ConversionArguments::padRight, "right pad"},
        {"-b", 1, 100000, &ConversionArguments::videoKbps, "video bit rate"},
        {"-ac", 0, 8, &ConversionArguments::channels, "channel count"},
        {"-ar", 0, 192000, &ConversionArguments::sampleRate, "audio rate"},
        {"-ab", 1, 1000, &ConversionArguments::audioKbps, "audio bit rate"},
    };
    for (const IntegerSetting& setting : settings) {
        if (option == setting.option) {
            return &setting;
        }
    }
    return nullptr;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

bool IsLegalH263Size(int width, int height) {
    static const int sizes[][2] = {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}};
    for (const auto& size : sizes) {
        if (width == size[0] && height == size[1]) {
            return true;
        }
    }
    return false;
}

bool ParseFrameRate(const std::string& text, int& num, int& den) {
    double rate = 0;
    if (!ToSeconds(text, rate) || rate <= 0 || rate > 1000) {
        return false;
    }
    // NTSC-style rates (29.97, 23.976, 59.94, 14.985) are 1000/1001 of a whole rate.
    double whole = std::round(rate * 1.001);
    if (std::fabs(rate - std::round(rate)) > 1e-6 &&
        std::fabs(rate - whole * 1000.0 / 1001.0) < 0.005) {
        num = int(whole) * 1000;
        den = 1001;
        return true;
    }
    // Otherwise the smallest fraction with a denominator up to 1000 that is close enough.
    for (int d = 1; d <= 1000; ++d) {
        double n = std::round(rate * d);
        if (n >= 1 && std::fabs(n / d - rate) < 1e-6 * rate) {
            num = int(n);
            den = d;
            return true;
        }
    }
    num = int(std::round(rate * 1000));
    den = 1000;
    return true;
}

int NearestSampleRate(int requested, const int* supported) {
    if (!supported || supported[0] == 0) {
        return requested;
    }
    int best = supported[0];
    for (const int* rate = supported; *rate; ++rate) {
        if (std::abs(*rate - requested) < std::abs(best - requested)) {
            best = *rate;
        }
    }
    return best;
}

bool ParseArguments(int argc, const char* const* argv, ConversionArguments& args,
                    std::string& error) {
    args = ConversionArguments{};
    if (argc < 2 || !argv) {
        error = "The conversion was given no output file";
        return false;
    }
    for (int i = 0; i < argc; ++i) {
        if (!argv[i]) {
            error = "The conversion settings are incomplete";
            return false;
        }
    }
    args.output = argv[argc - 1];
    if (args.output.empty()) {
        error = "The conversion was given no output file";
        return false;
    }
    bool haveInput = false;
    for (int i = 1; i < argc - 1; ++i) {
        const std::string option = argv[i];
        if (option == "-y") {
            args.overwrite = true;
            continue;
        }
        if (option == "-bitexact") {
            args.bitexact = true;
            continue;
        }
        if (i + 1 >= argc - 1) {
            error = "The setting " + option + " has no value";
            return false;
        }
        const std::string value = argv[++i];
        auto bad = [&](const std::string& what) {
            error = "Invalid " + what + " " + Quoted(value);
            return false;
        };
        if (option == "-t") {
            if (!ToSeconds(value, args.durationSeconds))
                return bad("duration");
        } else if (option == "-ss") {
            if (!ToSeconds(value, args.startSeconds))
                return bad("start");
        } else if (option == "-i") {
            if (value.empty())
                return bad("input file");
            args.input = value;
            haveInput = true;
        } else if (option == "-vol") {
            // Out-of-range volumes are clipped, never wrapped: a huge number is loudest.
            char* end = nullptr;
            long volume = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0')
                return bad("volume");
            args.volumePercent = int(std::clamp(volume, 0L, 300L));
        } else if (option == "-vcodec") {
            if (!ParseVideoCodec(value, args.videoCodec)) {
                error = "Unknown video codec " + Quoted(value) +
                        ": use mpeg4, xvid, h263, h263p or h264";
                return false;
            }
        } else if (const IntegerSetting* setting = FindIntegerSetting(option)) {
            if (!ToInt(value, setting->low, setting->high, args.*setting->value))
                return bad(setting->what);
        } else if (option == "-s") {
            if (!ParseFrameSize(value, args.width, args.height))
                return bad("frame size");
        } else if (option == "-r") {
            if (!ParseFrameRate(value, args.frameRateNum, args.frameRateDen))
                return bad("frame rate");
        } else if (option == "-acodec") {
            if (strcasecmp(value.c_str(), "aac") != 0) {
                error = "Unknown audio codec " + Quoted(value) + ": use aac";
                return false;
            }
        } else if (option == "-f") {
            args.format = value;
        } else {
            error = "Unknown setting " + Quoted(option);
            return false;
        }
    }
    if (!haveInput) {
        error = "The conversion was given no input file";
        return false;
    }
    if (args.width > 0) {
        if (args.padLeft + args.padRight >= args.width ||
            args.padTop + args.padBottom >= args.height) {
            error = "The pads leave no room for the picture in " + std::to_string(args.width) +
                    "x" + std::to_string(args.height);
            return false;
        }
        bool h263 = args.videoCodec == VideoCodec::H263;
        if (h263 && !IsLegalH263Size(args.width, args.height)) {
            error = "H.263 cannot carry the frame size " + std::to_string(args.width) + "x" +
                    std::to_string(args.height) + ": use " + kH263Sizes;
            return false;
        }
    } else if (args.padTop || args.padBottom || args.padLeft || args.padRight) {
        error = "Pads need a frame size";
        return false;
    }
    return true;
}

}  // namespace kivo
