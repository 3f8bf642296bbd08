// The installed profile catalog, read from the build's bin folder with the program's own reader:
// the structure every family section must have, and for every built-in profile, together with
// the family's default selections, settings that the family's players accept.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>
#include <QSize>
#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/Levels.h"
#include "profiles/core/ProfileDatabase.h"

namespace {

const QString kCatalog = QStringLiteral(QOR_BIN_DIR "/KivoMp4.dll");
const QString kAbsent = QStringLiteral("<absent>");

QString Read(const QString& section, const QString& key, const QString& def = "NoData") {
    return ReadIniValue(kCatalog, section, key, def);
}

// A list as the converter window reads it; also makes sure nothing is stored after its end,
// which the window would never read.
QStringList ReadList(const QString& section, const QString& key) {
    QStringList items;
    for (int n = 0;; ++n) {
        const QString value = Read(section, key + QString::number(n));
        if (value == "NoData")
            break;
        items << value;
    }
    for (int n = items.size(); n < items.size() + 20; ++n) {
        EXPECT_EQ(Read(section, key + QString::number(n), kAbsent), kAbsent)
            << section.toStdString() << ": " << key.toStdString() << n << " lies after a gap";
    }
    return items;
}

// The number before the first space of a sample-rate or bitrate item, as the job runner reads it.
std::optional<int> LeadingNumber(const QString& item) {
    static const QRegularExpression form(QStringLiteral("^(\\d+) \\S+$"));
    const auto match = form.match(item);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

std::optional<QSize> FrameSize(const QString& item) {
    static const QRegularExpression form(QStringLiteral("^(\\d+)x(\\d+)$"));
    const auto match = form.match(item);
    if (!match.hasMatch())
        return std::nullopt;
    return QSize(match.captured(1).toInt(), match.captured(2).toInt());
}

std::optional<double> FrameRate(const QString& item) {
    static const QRegularExpression form(QStringLiteral("^\\d+(\\.\\d+)?$"));
    if (!form.match(item).hasMatch())
        return std::nullopt;
    return item.toDouble();
}

std::optional<int> Integer(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^-?\\d+$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    return text.toInt();
}

// What one family's players accept.
struct Limits {
    const char* section;
    bool threeGp;        // 3GP layout (five fields) rather than the player layout
    QStringList codecs;  // exactly the codecs to offer, lower case
    QStringList sizes;   // frame sizes to offer (all of them, or the bounds for MP4)
    bool sizeRange;      // sizes gives the smallest and largest of a range
    double minFps, maxFps;
    int minVideo, maxVideo;
    QList<int> rates;  // the sample rates allowed, or {min, max} with rateRange
    bool rateRange;
    int minAudio, maxAudio;
    kivo::DeviceFamily family;
    int (*ceiling)(const QSize&);  // the highest H.264 level_idc the players take; 0: none
};

// Level 1b (level_idc 9) lies between 1 and 1.1.
double LevelOrder(int idc) {
    return idc == 9 ? 10.5 : idc;
}

const Limits kFamilies[] = {
    {"3GP",
     true,
     {"mpeg4", "h263", "h264"},
     {"128x96", "176x144", "352x288", "320x240"},
     false,
     10,
     29.97,
     64,
     512,
     {8000, 48000},
     true,
     12,
     128,
     kivo::DeviceFamily::Phone3gp,
     [](const QSize& s) { return s.width() <= 176 && s.height() <= 144 ? 13 : 20; }},
    {"PSP",
     false,
     {"mpeg4", "h264"},
     {"320x240", "368x208", "480x272"},
     false,
     1,
     29.97,
     384,
     1024,
     {24000, 48000},
     false,
     32,
     160,
     kivo::DeviceFamily::Psp,
     [](const QSize&) { return 30; }},
    {"IPOD",
     false,
     {"h264", "mpeg4"},
     {"320x240", "640x480"},
     false,
     1,
     30,
     1,
     1500,
     {44100, 48000},
     false,
     1,
     160,
     kivo::DeviceFamily::Ipod,
     [](const QSize& s) { return s.width() <= 320 && s.height() <= 240 ? 13 : 30; }},
    {"PDA",
     false,
     {"mpeg4", "h264"},
     {"320x240", "240x320", "320x180", "640x480"},
     false,
     1,
     30,
     1,
     768,
     {1, 48000},
     true,
     1,
     128,
     kivo::DeviceFamily::Pda,
     [](const QSize&) { return 0; }},
    {"MP4",
     false,
     {"h264", "mpeg4", "xvid"},
     {"320x240", "1920x1080"},
     true,
     1,
     60,
     1,
     8000,
     {1, 48000},
     true,
     1,
     320,
     kivo::DeviceFamily::Mp4,
     [](const QSize&) { return 0; }},
};

bool SizeAllowed(const Limits& f, const QSize& size) {
    if (!f.sizeRange)
        return f.sizes.contains(QString("%1x%2").arg(size.width()).arg(size.height()));
    const QSize low = *FrameSize(f.sizes[0]);
    const QSize high = *FrameSize(f.sizes[1]);
    return size.width() >= low.width() && size.height() >= low.height() &&
           size.width() <= high.width() && size.height() <= high.height();
}

bool RateAllowed(const Limits& f, int rate) {
    return f.rateRange ? rate >= f.rates[0] && rate <= f.rates[1] : f.rates.contains(rate);
}

class Catalog : public ::testing::TestWithParam<Limits> {};

TEST_P(Catalog, FamilySectionIsCompleteAndPlayable) {
    const Limits& f = GetParam();
    const QString s = f.section;

    // Value lists: present, without repeats, in the forms the job runner parses, within limits.
    const QStringList codecs = ReadList(s, "VideoCodec");
    const QStringList sizes = ReadList(s, "Resolution");
    const QStringList rates = ReadList(s, "Framerate");
    const QStringList fileTypes = ReadList(s, "OutputFileType");
    const QStringList sampleRates = ReadList(s, "AudioFrameRate");
    const QStringList audioRates = ReadList(s, "AudiobitRate");
    const QStringList channels = ReadList(s, "AudioChannels");
    for (const QStringList* list :
         {&codecs, &sizes, &rates, &fileTypes, &sampleRates, &audioRates, &channels}) {
        EXPECT_FALSE(list->isEmpty());
        EXPECT_EQ(QSet<QString>(list->begin(), list->end()).size(), list->size()) << "repeats";
    }
    QStringList lowerCodecs;
    for (const QString& codec : codecs)
        lowerCodecs << codec.toLower();
    EXPECT_EQ(QSet<QString>(lowerCodecs.begin(), lowerCodecs.end()),
              QSet<QString>(f.codecs.begin(), f.codecs.end()));
    for (const QString& item : sizes) {
        const auto size = FrameSize(item);
        ASSERT_TRUE(size) << item.toStdString();
        EXPECT_TRUE(SizeAllowed(f, *size)) << item.toStdString();
    }
    if (!f.sizeRange) {
        for (const QString& required : f.sizes)
            EXPECT_TRUE(sizes.contains(required));
    } else {
        EXPECT_TRUE(sizes.contains(f.sizes[0]) && sizes.contains(f.sizes[1]) &&
                    sizes.contains("1280x720"));
    }
    for (const QString& item : rates) {
        const auto fps = FrameRate(item);
        ASSERT_TRUE(fps) << item.toStdString();
        EXPECT_TRUE(*fps >= f.minFps && *fps <= f.maxFps) << item.toStdString();
    }
    for (const QString& item : sampleRates) {
        const auto rate = LeadingNumber(item);
        ASSERT_TRUE(rate) << item.toStdString();
        EXPECT_TRUE(RateAllowed(f, *rate)) << item.toStdString();
    }
    for (const QString& item : audioRates) {
        const auto rate = LeadingNumber(item);
        ASSERT_TRUE(rate) << item.toStdString();
        EXPECT_TRUE(*rate >= f.minAudio && *rate <= f.maxAudio) << item.toStdString();
    }
    EXPECT_LE(channels.size(), 2);
    if (f.threeGp) {
        EXPECT_EQ(fileTypes.value(1), "3GP");  // position 1 selects the 3GP container
    }

    // Default selections name existing items.
    const QString codec = Read(s, "DefaultVideoCodec");
    const QString sampleRate = Read(s, "DefaultAudioFrameRate");
    const QString fileType = Read(s, "DefaultOutputFileType");
    EXPECT_TRUE(codecs.contains(codec)) << codec.toStdString();
    EXPECT_TRUE(sampleRates.contains(sampleRate)) << sampleRate.toStdString();
    EXPECT_TRUE(fileTypes.contains(fileType)) << fileType.toStdString();
    QString defaultSize, defaultFps, defaultAudio;
    if (f.threeGp) {
        const auto index = Integer(Read(s, "DefaultAudiobitRateIndex", "0"));
        ASSERT_TRUE(index);
        ASSERT_TRUE(*index >= 0 && *index < audioRates.size());
        defaultAudio = audioRates[*index];
        EXPECT_EQ(Read(s, "DefaultResolution", kAbsent), kAbsent);
        EXPECT_EQ(Read(s, "DefaultFramerate", kAbsent), kAbsent);
    } else {
        defaultSize = Read(s, "DefaultResolution");
        defaultFps = Read(s, "DefaultFramerate");
        EXPECT_TRUE(sizes.contains(defaultSize)) << defaultSize.toStdString();
        EXPECT_TRUE(rates.contains(defaultFps)) << defaultFps.toStdString();
        EXPECT_EQ(Read(s, "DefaultAudiobitRateIndex", kAbsent), kAbsent);
    }

    // Built-in profiles: paired texts and parameters, 3 to 6 of them, no custom ones shipped.
    const QStringList profiles = ReadList(s, "Profiles");
    EXPECT_GE(profiles.size(), 3);
    EXPECT_LE(profiles.size(), 6);
    EXPECT_EQ(ReadList(s, "ProfilesPar").size(), profiles.size());
    EXPECT_TRUE(ReadList(s, "CustomProfile").isEmpty());
    EXPECT_TRUE(ReadList(s, "CustomProfilePar").isEmpty());
    const auto defaultProfile = Integer(Read(s, "DefaultProfiles", "0"));
    ASSERT_TRUE(defaultProfile);
    EXPECT_TRUE(*defaultProfile >= 0 && *defaultProfile < profiles.size());

    for (int n = 0; n < profiles.size(); ++n) {
        SCOPED_TRACE((s + ": " + profiles[n]).toStdString());
        EXPECT_FALSE(profiles[n].contains("Custom->"));
        const QStringList fields = SplitCommaText(Read(s, "ProfilesPar" + QString::number(n)));
        // A player profile may name the frame size it converts at as a fourth field.
        if (f.threeGp)
            ASSERT_EQ(fields.size(), 5);
        else
            ASSERT_TRUE(fields.size() == 3 || fields.size() == 4) << fields.size();
        QString size = defaultSize, fps = defaultFps, audio = defaultAudio;
        std::optional<int> video, channelCount;
        if (f.threeGp) {
            size = fields[0];
            video = Integer(fields[1]);
            fps = fields[2];
            EXPECT_TRUE(Integer(fields[3])) << "fourth field";
            channelCount = Integer(fields[4]);
            EXPECT_TRUE(sizes.contains(size));
            EXPECT_TRUE(rates.contains(fps));
        } else {
            video = Integer(fields[0]);
            channelCount = Integer(fields[2]);
            if (fields.size() == 4) {
                size = fields[3];
                EXPECT_TRUE(sizes.contains(size)) << size.toStdString();
            }
            // The first item that contains the field is what the window selects: it must be the
            // item of exactly that bitrate ("64" must not land on "164 kbps").
            const auto first =
                std::find_if(audioRates.begin(), audioRates.end(),
                             [&](const QString& item) { return item.contains(fields[1]); });
            ASSERT_NE(first, audioRates.end()) << fields[1].toStdString();
            EXPECT_EQ(LeadingNumber(*first), Integer(fields[1])) << first->toStdString();
            audio = *first;
        }
        ASSERT_TRUE(video && channelCount);
        EXPECT_TRUE(*channelCount >= 1 && *channelCount <= channels.size());

        // The settings this profile produces with the family defaults.
        const QSize frame = *FrameSize(size);
        const int audioKbps = *LeadingNumber(audio);
        const int hz = *LeadingNumber(sampleRate);
        EXPECT_TRUE(SizeAllowed(f, frame)) << size.toStdString();
        EXPECT_TRUE(*FrameRate(fps) >= f.minFps && *FrameRate(fps) <= f.maxFps);
        EXPECT_TRUE(*video >= f.minVideo && *video <= f.maxVideo) << *video;
        EXPECT_TRUE(audioKbps >= f.minAudio && audioKbps <= f.maxAudio) << audioKbps;
        EXPECT_TRUE(RateAllowed(f, hz)) << hz;
        // The job runner raises the sample rate when the audio bitrate is high for it, to a
        // rate AAC has not got; the catalog never lets that happen.
        EXPECT_LE(audioKbps * 1000 / hz, 6) << audio.toStdString() << " at " << hz;
        if (codec.toLower() == "h263") {
            EXPECT_TRUE(QStringList({"128x96", "176x144", "352x288"}).contains(size));
        }
        // H.264, where the family offers it, needs a level its players take.
        if (lowerCodecs.contains("h264")) {
            const bool psp = QString(f.section) == "PSP";
            const kivo::VideoShape shape{
                frame.width(), frame.height(), int(std::lround(*FrameRate(fps) * 1000)),
                1000,          *video,         psp ? 2 : 1};
            const kivo::H264Level* level = kivo::LowestH264Level(shape);
            ASSERT_TRUE(level);
            const int ceiling = f.ceiling(frame);
            if (ceiling > 0) {
                EXPECT_LE(LevelOrder(level->idc), LevelOrder(ceiling)) << level->name;
            }
            EXPECT_EQ(kivo::CeilingRefusal(f.family, shape), "");
        }
        if (QString(f.section) == "IPOD") {
            EXPECT_LE(*video, frame.width() <= 320 ? 768 : 1500);
            if (frame.width() > 320) {
                EXPECT_EQ(codec.toLower(), "h264");
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Families, Catalog, ::testing::ValuesIn(kFamilies),
                         [](const auto& info) { return std::string(info.param.section); });

TEST(CatalogFile, MainSettingsLeavesTheOutputRootToTheProgram) {
    // The section exists, and the root is not shipped: the program's default applies until
    // the user picks a folder (a build's copy that the program wrote to may hold one).
    EXPECT_EQ(ReadIniValue(QStringLiteral(QOR_SOURCE_DIR "/resources/KivoMp4.dll"), "MainSettings",
                           "DefaultOutputMainPath", kAbsent),
              kAbsent);
}

}  // namespace
