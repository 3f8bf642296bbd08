// The levels the outputs signal, for every setting the shipped catalog offers: each family,
// each video codec of its list, each frame size, the lowest and highest frame rate, with the
// default and the highest built-in video bit rate. Either the job runner's check refuses the
// settings before the engine starts, or a short conversion gives a file whose probed profile
// and level are the ones this test's own tables (written from the standards' tables) expect.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "EngineTestSupport.h"
#include "SampleClips.h"
#include "converter/core/LevelCeiling.h"
#include "platform/core/Errors.h"
#include "profiles/core/ProfileDatabase.h"

namespace {

using namespace enginetest;

const QString kCatalog = QStringLiteral(QOR_BIN_DIR "/KivoMp4.dll");

QString Read(const QString& section, const QString& key, const QString& def = "NoData") {
    return ReadIniValue(kCatalog, section, key, def);
}

QStringList ReadList(const QString& section, const QString& key) {
    QStringList items;
    for (int n = 0;; ++n) {
        const QString value = Read(section, key + QString::number(n));
        if (value == "NoData")
            return items;
        items << value;
    }
}

// H.264 levels in order (ITU-T H.264 Table A-1, Baseline and Main): the level_idc a probe reads
// (1b reads as 11 with a constraint flag), macroblocks per second, per picture, and kbit/s.
struct AvcLevel {
    const char* name;
    int probed;
    double mbPerSecond;
    int mbPerPicture;
    int kbps;
};
const AvcLevel kAvcLevels[] = {
    {"1", 10, 1485, 99, 64},          {"1b", 11, 1485, 99, 128},
    {"1.1", 11, 3000, 396, 192},      {"1.2", 12, 6000, 396, 384},
    {"1.3", 13, 11880, 396, 768},     {"2", 20, 11880, 396, 2000},
    {"2.1", 21, 19800, 792, 4000},    {"2.2", 22, 20250, 1620, 4000},
    {"3", 30, 40500, 1620, 10000},    {"3.1", 31, 108000, 3600, 14000},
    {"3.2", 32, 216000, 5120, 20000}, {"4", 40, 245760, 8192, 20000},
    {"4.1", 41, 245760, 8192, 50000}, {"4.2", 42, 522240, 8704, 50000},
};

int Mbs(int pixels) {
    return (pixels + 15) / 16;
}

// Position in kAvcLevels of the lowest level that holds; -1 when none does.
int ExpectedAvcLevel(int width, int height, double fps, int kbps) {
    const int w = Mbs(width), h = Mbs(height);
    for (int i = 0; i < int(std::size(kAvcLevels)); ++i) {
        const AvcLevel& l = kAvcLevels[i];
        const bool sides = w * w <= 8 * l.mbPerPicture && h * h <= 8 * l.mbPerPicture;
        // A little slack for 29.97 written as a decimal.
        if (w * h <= l.mbPerPicture && sides && w * h * fps <= l.mbPerSecond * 1.00001 &&
            kbps <= l.kbps)
            return i;
    }
    return -1;
}

// MPEG-4 Part 2 Simple Profile levels 1, 2, 3, 4a, 5, 6: macroblocks per picture and second.
struct SpLevel {
    int level;
    int mbPerPicture;
    double mbPerSecond;
};
const SpLevel kSimpleLevels[] = {{1, 99, 1485},    {2, 396, 5940},   {3, 396, 11880},
                                 {4, 1200, 36000}, {5, 1620, 40500}, {6, 3600, 108000}};

// The highest level each family's players take, by position in kAvcLevels.
int Ceiling(const QString& family, int width, int height) {
    auto at = [](const char* name) {
        for (int i = 0; i < int(std::size(kAvcLevels)); ++i)
            if (std::string(kAvcLevels[i].name) == name)
                return i;
        return -1;
    };
    if (family == "IPOD")
        return width <= 320 && height <= 240 ? at("1.3") : at("3");
    if (family == "PSP")
        return at("3");
    if (family == "3GP")
        return width <= 176 && height <= 144 ? at("1.3") : at("2");
    return int(std::size(kAvcLevels)) - 1;
}

DeviceType Device(const QString& family) {
    return family == "3GP"    ? Dev3GP
           : family == "PSP"  ? DevPSP
           : family == "IPOD" ? DevIPOD
           : family == "PDA"  ? DevPDA
                              : DevMP4;
}

struct Outcome {
    QString family, size, codec;
    std::string level;  // as written, or the refusal
};

TEST(LevelMatrix, EveryCatalogSettingSignalsTheLevelItNeedsOrIsRefused) {
    ScratchFolder folder;
    const std::string clip = folder.File("source.mp4");
    ASSERT_TRUE(MakeClip(clip, 160, 120, "25", 2, "-c:v mpeg4 -c:a aac"));
    std::vector<Outcome> table;
    int conversions = 0;

    for (const QString family : {"3GP", "PSP", "IPOD", "PDA", "MP4"}) {
        const bool threeGp = family == "3GP";
        // The family's video bit rates: the default profile's and the highest built-in one.
        const QStringList params = ReadList(family, "ProfilesPar");
        ASSERT_FALSE(params.isEmpty());
        const int defaultProfile = Read(family, "DefaultProfiles", "0").toInt();
        QList<int> rates;
        for (const QString& par : params)
            rates << SplitCommaText(par).value(threeGp ? 1 : 0).toInt();
        const int defaultKbps = rates.value(defaultProfile);
        const int highestKbps = *std::max_element(rates.begin(), rates.end());
        ASSERT_GT(defaultKbps, 0);
        QStringList fps = ReadList(family, "Framerate");
        std::sort(fps.begin(), fps.end(),
                  [](const QString& a, const QString& b) { return a.toDouble() < b.toDouble(); });
        const QString format = threeGp           ? "3gp"
                               : family == "PSP" ? "psp"
                               : family == "PDA" ? ""
                                                 : "mp4";

        for (const QString& codecItem : ReadList(family, "VideoCodec")) {
            const QString codec = codecItem.toLower();
            for (const QString& size : ReadList(family, "Resolution")) {
                const int width = size.section('x', 0, 0).toInt();
                const int height = size.section('x', 1, 1).toInt();
                std::string written;
                for (const QString& rate : {fps.first(), fps.last()}) {
                    for (const int kbps : {defaultKbps, highestKbps}) {
                        const std::string what = (family + " " + codec + " " + size + " " + rate +
                                                  " fps " + QString::number(kbps) + " kbps")
                                                     .toStdString();
                        SCOPED_TRACE(what);
                        const double fpsValue = rate.toDouble();
                        const int avc = ExpectedAvcLevel(width, height, fpsValue, kbps);
                        const bool refused =
                            codec == "h264" && avc > Ceiling(family, width, height);
                        QString refusal;
                        try {
                            CheckVideoCeiling(Device(family), codec, size, rate,
                                              QString::number(kbps));
                        } catch (const QorError& error) {
                            refusal = error.Message();
                        }
                        if (refused) {
                            EXPECT_TRUE(refusal.contains(" H.264 ") && refusal.contains("; lower"))
                                << refusal.toStdString();
                            written += (written.empty() ? "" : " / ") + std::string("refused");
                            continue;
                        }
                        ASSERT_TRUE(refusal.isEmpty()) << refusal.toStdString();

                        const std::string output = folder.File("out.MP4");
                        std::remove(output.c_str());
                        // A fifth of a second is enough: the level is set before the first
                        // picture.
                        Vector vector =
                            MakeVector("0.2", clip, output, codec.toStdString(), size.toStdString(),
                                       rate.toStdString(), std::to_string(kbps), "2", "44100", "64",
                                       format.toStdString());
                        const ConversionReport report = Convert(vector);
                        ++conversions;
                        const bool h263Size =
                            size == "128x96" || size == "176x144" || size == "352x288";
                        if (codec == "h263" && !h263Size) {
                            // The engine refuses sizes H.263 cannot carry.
                            EXPECT_EQ(report.LastLine().rfind("Failed", 0), 0u);
                            written = "no H.263";
                            continue;
                        }
                        ASSERT_EQ(report.LastLine(), "Finished source.mp4");
                        auto probe = ProbeWithTool(output);
                        std::string level = probe["video.level"];
                        if (codec == "h264") {
                            ASSERT_GE(avc, 0);
                            EXPECT_EQ(probe["video.profile"],
                                      family == "PSP" ? "Main" : "Constrained Baseline");
                            EXPECT_EQ(level, std::to_string(kAvcLevels[avc].probed));
                            level = kAvcLevels[avc].name;
                        } else if (codec == "mpeg4" || codec == "xvid") {
                            const int mbs = Mbs(width) * Mbs(height);
                            const auto sp =
                                std::find_if(std::begin(kSimpleLevels), std::end(kSimpleLevels),
                                             [&](const SpLevel& l) {
                                                 return mbs <= l.mbPerPicture &&
                                                        mbs * fpsValue <= l.mbPerSecond * 1.00001;
                                             });
                            const bool simple = sp != std::end(kSimpleLevels);
                            EXPECT_EQ(probe["video.profile"],
                                      simple ? "Simple Profile" : "Advanced Simple Profile");
                            EXPECT_EQ(level, std::to_string(simple ? sp->level : 5));
                            level = (simple ? "SP " : "ASP ") + level;
                        } else {
                            EXPECT_EQ(probe["video.codec_name"], "h263");
                            level = "-";
                        }
                        if (written.find(level) == std::string::npos)
                            written += (written.empty() ? "" : " / ") + level;
                    }
                }
                table.push_back({family, size, codec, written});
            }
        }
    }
    // The table of what each family writes, for the record.
    for (const Outcome& o : table)
        std::printf("%-5s %-10s %-6s %s\n", qPrintable(o.family), qPrintable(o.size),
                    qPrintable(o.codec), o.level.c_str());
    std::printf("%d conversions\n", conversions);
}

}  // namespace
