// The texts of a listed file: stream lines, row text, target and still names.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <cmath>
#include <cstdio>

#include "media/core/MediaRows.h"
#include "media/core/MediaText.h"
#include "media/core/Thumbnails.h"

namespace {

QString CVideo(const char* name, int w, int h, double fps) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%s  %dx%d  fps:%5.2f\n", name, w, h, fps);
    return QString::fromUtf8(buffer);
}

QString CAudio(const char* name, int rate, int bitRate, int channels) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%s  %10.2dKHZ  bitrate:%d  channels:%d", name, rate,
                  bitRate, channels);
    return QString::fromUtf8(buffer);
}

}  // namespace

TEST(MediaText, StreamLinesMatchPrintf) {
    struct Video {
        const char* name;
        int w, h;
        float fps;
    };
    for (const Video& v :
         {Video{"mpeg4", 640, 480, 25.0f}, Video{"h264", 1920, 1080, 29.97f}, Video{"", 0, 0, 0.0f},
          Video{"mjpeg", -1, 7, 1234.5678f}, Video{"wmv2", 320, 240, 5.005f}}) {
        EXPECT_EQ(VideoLine(v.name, v.w, v.h, v.fps), CVideo(v.name, v.w, v.h, v.fps)) << v.name;
    }
    struct Audio {
        const char* name;
        int rate, bitRate, channels;
    };
    for (const Audio& a : {Audio{"aac", 44100, 128, 2}, Audio{"mp3", 8000, 0, 1},
                           Audio{"", 0, 0, 0}, Audio{"pcm", 5, 1411, 6}, Audio{"x", -3, -1, 2},
                           Audio{"opus", 1234567890, 2147483647, 255}}) {
        EXPECT_EQ(AudioLine(a.name, a.rate, a.bitRate, a.channels),
                  CAudio(a.name, a.rate, a.bitRate, a.channels))
            << a.name << " " << a.rate;
    }
    EXPECT_EQ(VideoLine("mpeg4", 640, 480, 25.0), "mpeg4  640x480  fps:25.00\n");
    EXPECT_EQ(AudioLine("mp2", 44100, 192, 2), "mp2       44100KHZ  bitrate:192  channels:2");
    EXPECT_EQ(AudioLine("a", 5, 0, 0), "a          05KHZ  bitrate:0  channels:0");
}

TEST(MediaText, InfoTextFromProbeCarriesLongNamesWholeAndTruncatesBitRate) {
    const std::string longName(600, 'v');
    EngineFileInfo info = {};
    info.videoFormat = longName.c_str();
    info.audioFormat = nullptr;  // left unset by the engine
    info.width = 640;
    info.height = 480;
    info.fps = 25;
    info.bitRate = 127.9f;
    info.sampleRate = 22050;
    info.channels = 2;
    EXPECT_EQ(ProbeInfoText(info), "Video<>" + QString::fromStdString(longName) +
                                       "  640x480  fps:25.00\nAudio<>       22050KHZ  "
                                       "bitrate:127  channels:2");

    struct Case {
        float in;
        int out;
    };
    for (const Case& c :
         {Case{127.9f, 127}, Case{-2.5f, -2}, Case{0.0f, 0}, Case{1e20f, 2147483647},
          Case{-1e20f, -2147483647 - 1}, Case{std::nanf(""), 0}}) {
        EXPECT_EQ(WholeBitRate(c.in), c.out) << c.in;
    }
}

// The family's extension for each device and file type is the window's (MediaFilesTest).
TEST(MediaText, TargetAndStillNames) {
    struct Case {
        QString source;
        QString extension;
        QString target;
    };
    for (const Case& c : {
             // everything before the last dot stays, so episodes keep names of their own
             Case{"/clips/my.holiday.avi", ".3g2", "my.holiday.3g2"},
             Case{"/clips/my.holiday.avi", ".MP4", "my.holiday.MP4"},
             Case{"/tv/Show.S01E01.720p.mp4", ".MP4", "Show.S01E01.720p.MP4"},
             Case{"/tv/Show.S01E02.720p.mp4", ".MP4", "Show.S01E02.720p.MP4"},
             Case{"/clips/clip.", ".MP4", "clip.MP4"},
             Case{"/clips/movie", ".3g2", ".3g2"},
             Case{"/clips/movie", ".MP4", ".MP4"},
             Case{"/clips.d/movie", ".MP4", ".MP4"},  // a dot in the folder does not count
             Case{"party.avi", ".MP4", "party.MP4"},
         }) {
        EXPECT_EQ(TargetName(c.source, c.extension), c.target) << c.source.toStdString();
    }
    EXPECT_EQ(ThumbnailFolder("/opt/qor/"), "/opt/qor/shotpic/");
}

// Every source path gets a still of its own: namesakes in other folders do not share one.
TEST(MediaText, StillNamesFollowTheWholeSourcePath) {
    const QRegularExpression shape("^(.*)-[0-9a-f]{16}\\.jpg$");
    struct Case {
        QString source;
        QString readable;  // the name's part before the hash
    };
    for (const Case& c : {
             Case{"/media/clips/party.avi", "party.avi"},
             Case{"/media/clips/movie", "movie"},
             Case{"/a/clip.avi", "clip.avi"},
             Case{"/b/clip.avi", "clip.avi"},
             Case{"/b/Clip.avi", "Clip.avi"},
             Case{"/b/c l.i.p.mkv", "c l.i.p.mkv"},
         }) {
        const QRegularExpressionMatch match = shape.match(StillFileName(c.source));
        ASSERT_TRUE(match.hasMatch()) << StillFileName(c.source).toStdString();
        EXPECT_EQ(match.captured(1), c.readable);
        EXPECT_EQ(StillFileName(c.source), StillFileName(QString(c.source)));  // stable
    }
    EXPECT_NE(StillFileName("/a/clip.avi"), StillFileName("/b/clip.avi"));
    EXPECT_NE(StillFileName("/b/clip.avi"), StillFileName("/b/Clip.avi"));

    // A name near the file systems' limit is shortened, never cut inside a character.
    const QString longName = QString(300, QChar(0x00e9)) + ".avi";
    const QString still = StillFileName("/clips/" + longName);
    EXPECT_LE(still.toUtf8().size(), 255);
    EXPECT_TRUE(longName.startsWith(shape.match(still).captured(1)));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x8E\xA5").repeated(80) + ".mp4";
    const QString emojiStill = StillFileName("/clips/" + emoji);
    EXPECT_LE(emojiStill.toUtf8().size(), 255);
    EXPECT_EQ(QString::fromUtf8(emojiStill.toUtf8()), emojiStill);  // whole characters only
    EXPECT_TRUE(emoji.startsWith(shape.match(emojiStill).captured(1)));
}

TEST(MediaText, UniqueTargetNamesAreNumberedLikeAFileManagerDoes) {
    struct Case {
        QString wanted;
        QStringList taken;
        QString unique;
    };
    for (const Case& c : {
             Case{"holiday.3g2", {}, "holiday.3g2"},
             Case{"holiday.3g2", {"party.3g2"}, "holiday.3g2"},
             Case{"holiday.3g2", {"holiday.3g2"}, "holiday (2).3g2"},
             Case{"holiday.3g2", {"holiday.3g2", "holiday (2).3g2"}, "holiday (3).3g2"},
             // a gap left by a removed row is taken again
             Case{"holiday.3g2", {"holiday.3g2", "holiday (3).3g2"}, "holiday (2).3g2"},
             Case{"holiday.MP4", {"HOLIDAY.mp4"}, "holiday (2).MP4"},  // case does not count
             Case{"holiday.3gp", {"holiday.3g2"}, "holiday.3gp"},
             Case{".3g2", {".3g2"}, "(2).3g2"},  // a source name without a dot
             Case{"clip", {"clip"}, "clip (2)"},
         }) {
        EXPECT_EQ(UniqueTargetName(c.wanted, c.taken), c.unique) << c.wanted.toStdString();
    }
    EXPECT_EQ(UniqueTargetNames({"a.3g2", "b.3g2", "a.3g2", "a.3g2", "A.3G2"}),
              QStringList({"a.3g2", "b.3g2", "a (2).3g2", "a (3).3g2", "A (4).3G2"}));
}

TEST(MediaText, RowTextShowsLengthWithUnboundedHours) {
    struct Case {
        double duration;
        QString clock;
    };
    MediaRow row;
    row.SourcePath = "/c/a.avi";
    row.InfoText = "Video<>v\nAudio<>a";
    row.TargetName = "a.MP4";
    row.EndPoint = 7;
    for (const Case& c :
         {Case{0, "00:00:00"}, Case{59.9, "00:00:59"}, Case{3725, "01:02:05"},
          Case{36000, "10:00:00"}, Case{360000, "100:00:00"}, Case{1e9, "277777:46:40"}}) {
        row.Duration = c.duration;
        EXPECT_EQ(RowText(row),
                  "FileName:/c/a.avi      " + c.clock +
                      " \nVideo<>v\nAudio<>a\nTarget: a.MP4 ;Start Point:00:00  End Point:00:07")
            << c.duration;
    }
    MediaRow longRow;
    longRow.SourcePath = "/" + QString(5000, 'p') + ".avi";
    longRow.Duration = 1;
    longRow.InfoText = QString(3000, 'i');
    longRow.TargetName = "t";
    longRow.StartPoint = -1;
    longRow.EndPoint = 3725;
    EXPECT_TRUE(RowText(longRow).endsWith(QString(3000, 'i') +
                                          "\nTarget: t ;Start Point:00:00  End Point:62:05"));
}
