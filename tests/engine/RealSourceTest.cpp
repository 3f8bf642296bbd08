// The kinds of file people actually have, made by the ffmpeg tool: phone clips stored sideways
// with a display rotation, anamorphic DVD pictures, interlaced camcorder material, HD, 10-bit and
// HDR colour, clips of odd lengths and of a single picture, and tagged music. Each is probed and
// converted through the engine, and its output is judged as a person would see it, with the
// ffmpeg tool's own decoders and detectors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>

#include "EngineTestSupport.h"
#include "SampleClips.h"
#include "kivoengine.h"

namespace enginetest {
namespace {

ScratchFolder* g_folder = nullptr;

std::string Source(const std::string& name) {
    return g_folder->File(name);
}

// Writes the display matrix of a clockwise turn by `degrees` into the first track header of an
// MP4 file, as a phone does for a picture stored sideways.
bool SetDisplayRotation(const std::string& path, int degrees) {
    std::string file = ReadFile(path);
    const size_t type = file.find("tkhd");
    if (type == std::string::npos || type < 4 || file.size() < type + 88) {
        return false;
    }
    const size_t header = type - 4;
    auto read32 = [&](size_t at) {
        return uint32_t(uint8_t(file[at])) << 24 | uint32_t(uint8_t(file[at + 1])) << 16 |
               uint32_t(uint8_t(file[at + 2])) << 8 | uint32_t(uint8_t(file[at + 3]));
    };
    const int32_t width = int32_t(read32(header + 84) >> 16);
    const int32_t height = int32_t(read32(header + 88) >> 16);
    int32_t m[6] = {};  // a, b, c, d, tx, ty as the track header's matrix holds them
    if (degrees == 90) {
        m[1] = 1, m[2] = -1, m[4] = height;
    } else if (degrees == 180) {
        m[0] = -1, m[3] = -1, m[4] = width, m[5] = height;
    } else {
        m[1] = -1, m[2] = 1, m[5] = width;
    }
    const int32_t matrix[9] = {m[0] << 16, m[1] << 16, 0,          m[2] << 16, m[3] << 16,
                               0,          m[4] << 16, m[5] << 16, 1 << 30};
    for (int i = 0; i < 9; ++i) {
        const uint32_t v = uint32_t(matrix[i]);
        for (int b = 0; b < 4; ++b) {
            file[header + 48 + i * 4 + b] = char(v >> (24 - 8 * b));
        }
    }
    WriteFile(path, file);
    return true;
}

// A portrait picture (240x320 upright) with a red square in its top-left corner, stored turned
// so that `degrees` clockwise puts it upright again.
void MakeRotated(int degrees) {
    const char* stored = degrees == 90    ? "transpose=cclock"
                         : degrees == 180 ? "hflip,vflip"
                                          : "transpose=clock";
    const std::string path = Source("rotated" + std::to_string(degrees) + ".mp4");
    ASSERT_TRUE(RunFfmpeg(
        "-f lavfi -i color=c=gray:s=240x320:r=25:d=1,drawbox=x=0:y=0:w=60:h=60:color=red:t=fill"
        " -vf " +
        std::string(stored) + " -c:v mpeg4 -q:v 2 " + Quote(path)));
    ASSERT_TRUE(SetDisplayRotation(path, degrees));
}

// A box that is square as a player shows it, on a dark field, stored with `sar` samples.
void MakeAnamorphic(const std::string& name, int width, int height, const std::string& sar,
                    int boxWidth, int boxHeight) {
    char filter[256];
    std::snprintf(filter, sizeof filter,
                  "color=c=0x202020:s=%dx%d:r=25:d=1,drawbox=x=%d:y=%d:w=%d:h=%d:color=white:"
                  "t=fill,setsar=%s",
                  width, height, (width - boxWidth) / 2, (height - boxHeight) / 2, boxWidth,
                  boxHeight, sar.c_str());
    ASSERT_TRUE(RunFfmpeg("-f lavfi -i " + std::string(filter) + " -c:v mpeg4 -q:v 2 " +
                          Quote(Source(name))));
}

// Four 75% colour bars (red, green, blue, yellow) in BT.709, tagged as such.
const char kBars[] =
    "color=c=black:s=1280x720:r=25:d=1,drawbox=x=0:y=0:w=320:h=720:color=0xBF0000:t=fill,"
    "drawbox=x=320:y=0:w=320:h=720:color=0x00BF00:t=fill,drawbox=x=640:y=0:w=320:h=720:"
    "color=0x0000BF:t=fill,drawbox=x=960:y=0:w=320:h=720:color=0xBFBF00:t=fill";

void MakeSources(ScratchFolder& folder) {
    g_folder = &folder;
    for (int degrees : {90, 180, 270}) {
        MakeRotated(degrees);
    }
    // A 16:9 NTSC DVD picture and a 4:3 PAL one, each with a box that shows square.
    MakeAnamorphic("dvd169.mp4", 720, 480, "32/27", 216, 256);
    MakeAnamorphic("pal43.mp4", 720, 576, "16/15", 225, 240);
    // 576i with motion, top field first, as a DVD or camcorder holds it. The picture is softened
    // as a camera's is: the detector takes sharp one-line detail for combing.
    ASSERT_TRUE(
        RunFfmpeg("-f lavfi -i testsrc=s=720x576:r=50:d=2,boxblur=2 -vf "
                  "tinterlace=interleave_top,fieldorder=tff -c:v mpeg2video "
                  "-flags +ilme+ildct -top 1 -q:v 3 " +
                  Quote(Source("interlaced.mpg"))));
    // The bars in BT.709, 8-bit and 10-bit, and as an RGB picture.
    const std::string bars709 = "-f lavfi -i " + std::string(kBars) +
                                " -colorspace bt709 -color_primaries bt709 -color_trc bt709"
                                " -vf scale=out_color_matrix=bt709:out_range=tv,format=yuv420p";
    ASSERT_TRUE(RunFfmpeg(bars709 + " -c:v mpeg4 -q:v 2 " + Quote(Source("bars709.mp4"))));
    ASSERT_TRUE(RunFfmpeg(bars709 + "10le -c:v libx264 -preset ultrafast -qp 4 " +
                          Quote(Source("bars10bit.mp4"))));
    ASSERT_TRUE(RunFfmpeg("-f lavfi -i " + std::string(kBars) + " -frames:v 1 -pix_fmt rgb24 " +
                          Quote(Source("bars.png"))));
    // HDR10 as a phone or a TV download holds it: 10-bit BT.2020 with the PQ curve.
    ASSERT_TRUE(RunFfmpeg(
        "-f lavfi -i testsrc2=s=640x360:r=25:d=1 -pix_fmt yuv420p10le -colorspace bt2020nc"
        " -color_primaries bt2020 -color_trc smpte2084 -c:v libx264 -preset ultrafast " +
        Quote(Source("hdr.mp4"))));
    ASSERT_TRUE(MakeClip(Source("clip4.9.mp4"), 160, 120, "25", 5,
                         " -t 4.9 -c:v mpeg4 -c:a aac -shortest"));
    ASSERT_TRUE(RunFfmpeg("-f lavfi -i testsrc2=s=320x240:r=25 -frames:v 1 -c:v mpeg4 " +
                          Quote(Source("oneframe.mp4"))));
    ASSERT_TRUE(RunFfmpeg("-f lavfi -i color=c=orange:s=64x64:d=1 -frames:v 1 " +
                          Quote(Source("cover.jpg"))));
    ASSERT_TRUE(RunFfmpeg(
        "-f lavfi -i sine=frequency=440:duration=2 -i " + Quote(Source("cover.jpg")) +
        " -map 0 -map 1 -c:a libmp3lame -c:v copy -id3v2_version 3 -metadata title='Night Song'"
        " -metadata artist='The Testers' -metadata album='Made Here' " +
        Quote(Source("tagged.mp3"))));
}

const bool g_sources = (UseSourceFolder(g_folder, MakeSources), true);

KivoProbe Probe(const std::string& name) {
    KivoProbe probe{};
    EXPECT_EQ(kivo_probe(Source(name).c_str(), &probe), 0) << name;
    return probe;
}

// The job runner's letterbox rule on the display size: pads that keep the picture's shape.
struct Pads {
    int top = 0, bottom = 0, left = 0, right = 0;
};
Pads Letterbox(int sw, int sh, int tw, int th) {
    Pads pads;
    const float source = float(sw) / float(sh);
    const float target = float(tw) / float(th);
    if (source > target) {
        int pad = int((th - float(sh) * tw / sw) * 0.5f);
        pad -= pad > 0 && pad % 2 ? 1 : 0;
        pads.top = pads.bottom = std::max(pad, 0);
    } else if (source < target) {
        int pad = int((tw - float(sw) * th / sh) * 0.5f);
        pad -= pad > 0 && pad % 2 ? 1 : 0;
        pads.left = pads.right = std::max(pad, 0);
    }
    return pads;
}

// One conversion of a source as the MP4 family's runner would start it: MPEG-4 Part 2 at
// `size`, with the pads computed from the probe's display size when `letterbox` is set and the
// probe's exact length as -t.
std::string ConvertSource(const std::string& name, const std::string& size, bool letterbox,
                          ConversionReport* reportOut = nullptr, const char* format = "mp4",
                          const char* vcodec = "mpeg4", const char* length = nullptr) {
    const KivoProbe probe = Probe(name);
    char duration[32];
    std::snprintf(duration, sizeof duration, "%g", probe.durationSeconds);
    if (length) {
        std::snprintf(duration, sizeof duration, "%s", length);
    }
    const std::string output = Source("out " + name + " " + format + " " + size + " " +
                                      (length ? length : "whole") + ".MP4");
    Vector vector = MakeVector(duration, Source(name), output, vcodec, size, "25", "2000", "2",
                               "44100", "128", format);
    if (letterbox) {
        int tw = 0, th = 0;
        std::sscanf(size.c_str(), "%dx%d", &tw, &th);
        const Pads pads = Letterbox(probe.displayWidth, probe.displayHeight, tw, th);
        vector.Set("-padtop", std::to_string(pads.top))
            .Set("-padbottom", std::to_string(pads.bottom))
            .Set("-padleft", std::to_string(pads.left))
            .Set("-padright", std::to_string(pads.right));
    }
    const ConversionReport report = Convert(vector);
    EXPECT_EQ(report.outcome, KIVO_CONVERSION_FINISHED) << name << ": " << report.LastLine();
    if (reportOut) {
        *reportOut = report;
    }
    return output;
}

// Keeps a picture of `path` as PNG in the folder KIVO_FRAMES_DIR names, when it is set, so that
// a person can look at what the conversion made. A source's picture is kept as stored (not
// turned, its samples shown square), as a converter that ignores both would take it.
void KeepFrame(const std::string& path, const std::string& pngName, bool asStored = false) {
    if (const char* folder = std::getenv("KIVO_FRAMES_DIR")) {
        RunFfmpeg(std::string(asStored ? "-noautorotate " : "") + "-ss 0.5 -i " + Quote(path) +
                  (asStored ? " -vf setsar=1" : "") + " -frames:v 1 -update 1 " +
                  Quote(std::string(folder) + "/" + pngName));
    }
}

TEST(RealSources, TheProbeSeesThePictureAsAPlayerShowsIt) {
    const struct {
        const char* name;
        int storedWidth, storedHeight, displayWidth, displayHeight, rotation;
        int sarNum, sarDen, interlaced, bitDepth, colourSpace;
    } cases[] = {
        {"rotated90.mp4", 320, 240, 240, 320, 90, 1, 1, 0, 8, 2},
        {"rotated180.mp4", 240, 320, 240, 320, 180, 1, 1, 0, 8, 2},
        {"rotated270.mp4", 320, 240, 240, 320, 270, 1, 1, 0, 8, 2},
        {"dvd169.mp4", 720, 480, 854, 480, 0, 32, 27, 0, 8, 2},
        {"pal43.mp4", 720, 576, 768, 576, 0, 16, 15, 0, 8, 2},
        {"interlaced.mpg", 720, 576, 720, 576, 0, 1, 1, 1, 8, 2},
        {"bars709.mp4", 1280, 720, 1280, 720, 0, 1, 1, 0, 8, 1},
        {"bars10bit.mp4", 1280, 720, 1280, 720, 0, 1, 1, 0, 10, 1},
        {"hdr.mp4", 640, 360, 640, 360, 0, 1, 1, 0, 10, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const KivoProbe p = Probe(c.name);
        EXPECT_EQ(p.storedWidth, c.storedWidth);
        EXPECT_EQ(p.storedHeight, c.storedHeight);
        EXPECT_EQ(p.displayWidth, c.displayWidth);
        EXPECT_EQ(p.displayHeight, c.displayHeight);
        EXPECT_EQ(p.rotation, c.rotation);
        EXPECT_EQ(p.sampleAspectNum, c.sarNum);
        EXPECT_EQ(p.sampleAspectDen, c.sarDen);
        EXPECT_EQ(p.interlaced, c.interlaced);
        EXPECT_EQ(p.bitDepth, c.bitDepth);
        EXPECT_EQ(p.colourSpace, c.colourSpace);
    }
    // Lengths are exact, not whole seconds; sound alone has no picture.
    EXPECT_NEAR(Probe("clip4.9.mp4").durationSeconds, 4.9, 0.03);
    EXPECT_EQ(Probe("oneframe.mp4").frameCount, 1);
    const KivoProbe hdr = Probe("hdr.mp4");
    EXPECT_EQ(hdr.colourPrimaries, 9);  // BT.2020
    EXPECT_EQ(hdr.colourTransfer, 16);  // PQ
    const KivoProbe song = Probe("tagged.mp3");
    EXPECT_EQ(song.displayWidth, 0);
    EXPECT_NEAR(song.durationSeconds, 2.0, 0.1);
}

TEST(RealSources, RotatedPicturesComeOutUpright) {
    for (int degrees : {90, 180, 270}) {
        const std::string name = "rotated" + std::to_string(degrees) + ".mp4";
        SCOPED_TRACE(name);
        const std::string output = ConvertSource(name, "120x160", false);
        auto probed = ProbeWithTool(output);
        EXPECT_EQ(probed["video.width"], "120");
        EXPECT_EQ(probed["video.height"], "160");
        EXPECT_EQ(probed.count("video.side_data_list_side_data_0_rotation"), 0u);
        KeepFrame(Source(name), "rotated" + std::to_string(degrees) + "-before.png", true);
        KeepFrame(output, "rotated" + std::to_string(degrees) + "-after.png");
        const std::string rgb = DecodeRgb(output, 0.5, 120, 160);
        ASSERT_FALSE(rgb.empty());
        // The red square lies in the top-left corner; the other corners are grey.
        const Rgb corner = PixelAt(rgb, 120, 12, 12);
        EXPECT_GT(corner.r, 180);
        EXPECT_LT(corner.g, 80);
        for (auto [x, y] : {std::pair{107, 12}, {12, 147}, {107, 147}}) {
            const Rgb other = PixelAt(rgb, 120, x, y);
            EXPECT_NEAR(other.r, 128, 20) << x << "," << y;
            EXPECT_NEAR(other.g, 128, 20) << x << "," << y;
        }
    }
}

// Decodes a JPEG still to RGB with the ffmpeg tool.
std::string StillRgb(const std::string& jpeg) {
    return RunAndRead("ffmpeg -nostdin -v error -i " + Quote(jpeg) +
                      " -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
}

TEST(RealSources, StillsShowThePictureUprightAndInProportion) {
    // Portrait pictures fill 90x120 of the 160x120 still, from x = 35; the red corner is theirs.
    for (int degrees : {90, 180, 270}) {
        const std::string name = "rotated" + std::to_string(degrees) + ".mp4";
        SCOPED_TRACE(name);
        const std::string jpeg = Source(name + ".jpg");
        ASSERT_EQ(Mydll_GetPicure(Source(name).c_str(), 0, "160x120", jpeg.c_str()), 0);
        const std::string rgb = StillRgb(jpeg);
        ASSERT_EQ(rgb.size(), 160u * 120 * 3);
        EXPECT_GT(PixelAt(rgb, 160, 40, 5).r, 180);  // red
        EXPECT_LT(PixelAt(rgb, 160, 40, 5).g, 80);
        EXPECT_NEAR(PixelAt(rgb, 160, 118, 5).g, 128, 20);  // grey
        EXPECT_NEAR(PixelAt(rgb, 160, 40, 114).g, 128, 20);
        EXPECT_LT(PixelAt(rgb, 160, 30, 60).g, 20);  // the bar beside it
    }
    // A 16:9 DVD picture fills 160x90 from y = 15, and its square box shows square; BT.709
    // colours keep their values.
    const std::string jpeg = Source("dvd169.jpg");
    ASSERT_EQ(Mydll_GetPicure(Source("dvd169.mp4").c_str(), 0, "160x120", jpeg.c_str()), 0);
    const std::string rgb = StillRgb(jpeg);
    ASSERT_EQ(rgb.size(), 160u * 120 * 3);
    int boxWidth = 0, boxHeight = 0;
    for (int i = 0; i < 160; ++i) {
        boxWidth += PixelAt(rgb, 160, i, 60).g > 128;
        boxHeight += i < 120 && PixelAt(rgb, 160, 80, i).g > 128;
    }
    EXPECT_NEAR(double(boxWidth) / boxHeight, 1.0, 0.06) << boxWidth << "x" << boxHeight;
    EXPECT_LT(PixelAt(rgb, 160, 80, 10).g, 12);  // the bar above
    const std::string bars = Source("bars.jpg");
    ASSERT_EQ(Mydll_GetPicure(Source("bars709.mp4").c_str(), 0, "160x120", bars.c_str()), 0);
    const std::string source = DecodeRgb(Source("bars709.mp4"), 0.5, 1280, 720);
    const std::string still = StillRgb(bars);
    for (int bar = 0; bar < 4; ++bar) {
        const Rgb want = PixelAt(source, 1280, 160 + 320 * bar, 360);
        const Rgb got = PixelAt(still, 160, 20 + 40 * bar, 60);
        EXPECT_NEAR(got.r, want.r, 8) << "bar " << bar;
        EXPECT_NEAR(got.g, want.g, 8) << "bar " << bar;
        EXPECT_NEAR(got.b, want.b, 8) << "bar " << bar;
    }
}

// The width and height of the bright box in a decoded picture, and the first and last rows
// that are not the black bars.
struct Shape {
    int boxWidth = 0, boxHeight = 0, firstRow = -1, lastRow = -1;
};
Shape MeasureShape(const std::string& rgb, int width, int height) {
    Shape shape;
    for (int y = 0; y < height; ++y) {
        int bright = 0;
        bool picture = false;
        for (int x = 0; x < width; ++x) {
            const Rgb p = PixelAt(rgb, width, x, y);
            bright += p.g > 128;
            picture = picture || p.g > 24;  // the field is 0x20, the bars black
        }
        shape.boxHeight += bright > 0;
        shape.boxWidth = std::max(shape.boxWidth, bright);
        if (picture) {
            shape.lastRow = y;
            shape.firstRow = shape.firstRow < 0 ? y : shape.firstRow;
        }
    }
    return shape;
}

TEST(RealSources, AnamorphicPicturesKeepTheirShapeInsideTheLetterbox) {
    const struct {
        const char* name;
        int firstRow, lastRow;  // where the picture lies between the bars
    } cases[] = {
        {"dvd169.mp4", 30, 209},  // 16:9 into 4:3: bars of 30 lines
        {"pal43.mp4", 0, 239},    // 4:3 into 4:3: no bars
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string output = ConvertSource(c.name, "320x240", true);
        KeepFrame(Source(c.name), std::string(c.name) + "-before.png", true);
        KeepFrame(output, std::string(c.name) + "-after.png");
        const std::string rgb = DecodeRgb(output, 0.5, 320, 240);
        ASSERT_FALSE(rgb.empty());
        const Shape shape = MeasureShape(rgb, 320, 240);
        EXPECT_NEAR(shape.firstRow, c.firstRow, 1);
        EXPECT_NEAR(shape.lastRow, c.lastRow, 1);
        // The box shows square: within 3%.
        ASSERT_GT(shape.boxHeight, 0);
        EXPECT_NEAR(double(shape.boxWidth) / shape.boxHeight, 1.0, 0.03)
            << shape.boxWidth << "x" << shape.boxHeight;
        EXPECT_EQ(ProbeWithTool(output)["video.sample_aspect_ratio"], "1:1");
    }
}

// libav's interlace detector on a file: the pictures it finds interlaced (either field first)
// and those it finds progressive.
std::pair<int, int> DetectInterlace(const std::string& path) {
    const std::string text =
        RunAndRead("ffmpeg -nostdin -hide_banner -i " + Quote(path) + " -vf idet -f null - 2>&1");
    std::smatch found;
    static const std::regex line(
        "Multi frame detection: TFF: *([0-9]+) BFF: *([0-9]+) Progressive: *([0-9]+)");
    if (!std::regex_search(text, found, line)) {
        return {-1, -1};
    }
    return {std::stoi(found[1]) + std::stoi(found[2]), std::stoi(found[3])};
}

TEST(RealSources, InterlacedPicturesAreDeinterlaced) {
    const auto [sourceCombed, sourceProgressive] = DetectInterlace(Source("interlaced.mpg"));
    ASSERT_GT(sourceCombed, 40) << "the source is not combed enough to tell";
    KeepFrame(Source("interlaced.mpg"), "interlaced-before.png", true);
    // As wide as the source, and into a narrower frame (made narrower before deinterlacing).
    for (const std::string size : {"720x576", "352x288"}) {
        SCOPED_TRACE(size);
        const std::string output = ConvertSource("interlaced.mpg", size, false);
        KeepFrame(output, "interlaced-after-" + size + ".png");
        const auto [combed, progressive] = DetectInterlace(output);
        EXPECT_GT(progressive, 40);
        EXPECT_LE(combed, 3);
    }
}

TEST(RealSources, ColoursKeepTheirValuesInTheOutputsMatrix) {
    // Each source's bars as the ffmpeg tool shows them, against the output's: HD (BT.709), its
    // 10-bit version and an RGB picture, into SD (BT.601) and HD (BT.709) frames.
    const struct {
        const char* name;
        const char* size;
        const char* matrix;  // what the output says
    } cases[] = {
        {"bars709.mp4", "320x240", "smpte170m"}, {"bars10bit.mp4", "320x240", "smpte170m"},
        {"bars.png", "320x240", "smpte170m"},    {"bars709.mp4", "1280x720", "bt709"},
        {"bars.png", "1280x720", "bt709"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " into " + c.size);
        const std::string source = DecodeRgb(Source(c.name), 0, 1280, 720);
        ASSERT_FALSE(source.empty());
        const std::string output = ConvertSource(c.name, c.size, true);
        auto probed = ProbeWithTool(output);
        EXPECT_EQ(probed.at("video.color_space"), c.matrix);
        EXPECT_EQ(probed.at("video.color_primaries"), c.matrix);
        EXPECT_EQ(probed.at("video.color_transfer"), c.matrix);
        EXPECT_EQ(probed.at("video.color_range"), "tv");
        EXPECT_EQ(probed.at("video.pix_fmt"), "yuv420p");
        int width = 0, height = 0;
        std::sscanf(c.size, "%dx%d", &width, &height);
        const std::string rgb = DecodeRgb(output, 0, width, height);
        ASSERT_FALSE(rgb.empty());
        for (int bar = 0; bar < 4; ++bar) {
            const Rgb want = PixelAt(source, 1280, 160 + 320 * bar, 360);
            const Rgb got = PixelAt(rgb, width, width / 8 + width / 4 * bar, height / 2);
            EXPECT_NEAR(got.r, want.r, 6) << "bar " << bar;
            EXPECT_NEAR(got.g, want.g, 6) << "bar " << bar;
            EXPECT_NEAR(got.b, want.b, 6) << "bar " << bar;
        }
    }
}

TEST(RealSources, HdrPicturesAreToneMappedToSdr) {
    ConversionReport report;
    const std::string output = ConvertSource("hdr.mp4", "320x240", true, &report);
    EXPECT_EQ(report.LastLine(), "Finished hdr.mp4");  // no note: the filters are there
    auto probed = ProbeWithTool(output);
    EXPECT_EQ(probed.at("video.color_transfer"), "smpte170m");
    EXPECT_EQ(probed.at("video.pix_fmt"), "yuv420p");
    // testsrc2's picture keeps its bright and dark parts apart.
    const std::string rgb = DecodeRgb(output, 0.5, 320, 240);
    ASSERT_FALSE(rgb.empty());
    int lowest = 255, highest = 0;
    for (int y = 40; y < 200; y += 4) {
        for (int x = 0; x < 320; x += 4) {
            const Rgb p = PixelAt(rgb, 320, x, y);
            lowest = std::min(lowest, (p.r + p.g + p.b) / 3);
            highest = std::max(highest, (p.r + p.g + p.b) / 3);
        }
    }
    EXPECT_GT(highest - lowest, 100);
}

TEST(RealSources, WholeFilesAndSinglePicturesConvertToTheirLength) {
    const struct {
        const char* name;
        const char* format;
        const char* vcodec;
        const char* size;
        const char* length;  // -t; null: the probe's exact length, as the job runner gives it
        double seconds;
    } cases[] = {
        {"clip4.9.mp4", "mp4", "mpeg4", "160x120", nullptr, 4.9},
        {"clip4.9.mp4", "psp", "h264", "320x240", nullptr, 4.9},
        {"clip4.9.mp4", "3gp", "h263", "176x144", "0", 4.9},  // 0: the whole source
        {"clip4.9.mp4", "mp4", "mpeg4", "160x120", "2.48", 2.48},
        {"oneframe.mp4", "mp4", "mpeg4", "320x240", nullptr, 0.04},
        {"oneframe.mp4", "3gp", "h263", "176x144", "0", 0.04},
        {"oneframe.mp4", "psp", "h264", "320x240", nullptr, 0.04},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " as " + c.format + " for " +
                     (c.length ? c.length : "its length"));
        const std::string output =
            ConvertSource(c.name, c.size, false, nullptr, c.format, c.vcodec, c.length);
        auto probed = ProbeWithTool(output);
        ASSERT_TRUE(probed.count("video.duration"));
        EXPECT_NEAR(std::atof(probed.at("video.duration").c_str()), c.seconds, 0.04 + 1e-6);
        EXPECT_GE(std::atoi(probed.at("video.nb_frames").c_str()),
                  int(std::lround(c.seconds * 25)));
    }
}

TEST(RealSources, MusicKeepsItsTagsAndCover) {
    const std::string output = ConvertSource("tagged.mp3", "320x240", false);
    auto probed = ProbeWithTool(output);
    EXPECT_EQ(probed.at("audio.codec_name"), "aac");
    EXPECT_EQ(probed.at("format.tag.title"), "Night Song");
    EXPECT_EQ(probed.at("format.tag.artist"), "The Testers");
    EXPECT_EQ(probed.at("format.tag.album"), "Made Here");
    // The cover travels as the file's attached picture.
    EXPECT_EQ(probed.at("video.disposition_attached_pic"), "1");
    EXPECT_EQ(probed.at("video.codec_name"), "mjpeg");
}

}  // namespace
}  // namespace enginetest
