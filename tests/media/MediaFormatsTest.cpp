// The one list of containers: every entry is a file the engine reads (a clip of each is made
// with the ffmpeg tool and probed), and the desktop entry claims exactly the list's types.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <map>
#include <string>

#include "engine/kivoengine.h"
#include "media/core/MediaFormats.h"
#include "media/core/SourceFiles.h"

namespace {

// How the ffmpeg tool writes a one-second clip of each container: the output options.
const std::map<std::string, QStringList>& Recipes() {
    static const std::map<std::string, QStringList> recipes = {
        {"mpg", {"-c:v", "mpeg1video", "-c:a", "mp2"}},
        {"mpeg", {"-f", "mpeg", "-c:v", "mpeg1video", "-c:a", "mp2"}},
        {"mpe", {"-f", "mpeg", "-c:v", "mpeg1video", "-c:a", "mp2"}},
        {"m1v", {"-an", "-f", "mpeg1video", "-c:v", "mpeg1video"}},
        {"m2v", {"-an", "-f", "mpeg2video", "-c:v", "mpeg2video"}},
        {"vob", {"-f", "vob", "-c:v", "mpeg2video", "-c:a", "mp2"}},
        {"dat", {"-f", "mpeg", "-c:v", "mpeg1video", "-c:a", "mp2"}},
        {"avi", {"-c:v", "mpeg4", "-c:a", "mp2"}},
        {"divx", {"-f", "avi", "-c:v", "mpeg4", "-c:a", "mp2"}},
        {"xvid", {"-f", "avi", "-c:v", "mpeg4", "-c:a", "mp2"}},
        {"wmv", {"-f", "asf", "-c:v", "wmv2", "-c:a", "wmav2"}},
        {"asf", {"-f", "asf", "-c:v", "wmv2", "-c:a", "wmav2"}},
        {"swf", {"-f", "swf", "-c:v", "flv1", "-c:a", "libmp3lame"}},
        {"flv", {"-f", "flv", "-c:v", "flv1", "-c:a", "libmp3lame"}},
        {"f4v", {"-f", "mp4", "-c:v", "libx264", "-c:a", "aac"}},
        {"mov", {"-f", "mov", "-c:v", "mpeg4", "-c:a", "aac"}},
        {"qt", {"-f", "mov", "-c:v", "mpeg4", "-c:a", "aac"}},
        {"mp4", {"-f", "mp4", "-c:v", "mpeg4", "-c:a", "aac"}},
        {"m4v", {"-f", "mp4", "-c:v", "mpeg4", "-c:a", "aac"}},
        {"3gp", {"-f", "3gp", "-c:v", "h263", "-s", "176x144", "-c:a", "aac", "-ar", "8000"}},
        {"3g2", {"-f", "3g2", "-c:v", "h263", "-s", "176x144", "-c:a", "aac", "-ar", "8000"}},
        {"mkv", {"-f", "matroska", "-c:v", "mpeg4", "-c:a", "libvorbis"}},
        {"webm", {"-f", "webm", "-c:v", "libvpx", "-c:a", "libvorbis"}},
        {"ogv", {"-f", "ogg", "-c:v", "libtheora", "-c:a", "libvorbis"}},
        {"ogm", {"-f", "ogg", "-c:v", "libtheora", "-c:a", "libvorbis"}},
        {"ts", {"-f", "mpegts", "-c:v", "mpeg2video", "-c:a", "mp2"}},
        {"mts", {"-f", "mpegts", "-c:v", "mpeg2video", "-c:a", "mp2"}},
        {"m2ts", {"-f", "mpegts", "-mpegts_m2ts_mode", "1", "-c:v", "mpeg2video", "-c:a", "mp2"}},
        {"dv",
         {"-f", "dv", "-c:v", "dvvideo", "-s", "720x480", "-r", "30000/1001", "-pix_fmt", "yuv411p",
          "-c:a", "pcm_s16le", "-ar", "48000", "-ac", "2"}},
        {"rm", {"-f", "rm", "-c:v", "rv10", "-c:a", "ac3"}},
        {"rmvb", {"-f", "rm", "-c:v", "rv20", "-c:a", "ac3"}},
        {"nut", {"-f", "nut", "-c:v", "mpeg4", "-c:a", "mp2"}},
        {"mxf",
         {"-f", "mxf", "-c:v", "mpeg2video", "-s", "720x576", "-c:a", "pcm_s16le", "-ar", "48000"}},
        {"mp3", {"-vn", "-f", "mp3", "-c:a", "libmp3lame"}},
        {"m4a", {"-vn", "-f", "ipod", "-c:a", "aac"}},
        {"aac", {"-vn", "-f", "adts", "-c:a", "aac"}},
        {"wav", {"-vn", "-f", "wav"}},
        {"ogg", {"-vn", "-f", "ogg", "-c:a", "libvorbis"}},
        {"oga", {"-vn", "-f", "ogg", "-c:a", "libvorbis"}},
        {"flac", {"-vn", "-f", "flac"}},
        {"wma", {"-vn", "-f", "asf", "-c:a", "wmav2"}},
    };
    return recipes;
}

}  // namespace

TEST(MediaFormats, EveryListedContainerIsReadByTheEngine) {
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    ASSERT_FALSE(ffmpeg.isEmpty()) << "the ffmpeg command-line tool makes the clips";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const MediaFormat& format : MediaFormats()) {
        const auto recipe = Recipes().find(format.extension);
        ASSERT_NE(recipe, Recipes().end()) << "no clip recipe for ." << format.extension;
        const QString clip = dir.filePath(QStringLiteral("clip.") + format.extension);
        QProcess make;
        make.start(ffmpeg, QStringList{"-v", "error", "-y", "-f", "lavfi", "-i",
                                       "testsrc=size=64x48:rate=25:duration=1", "-f", "lavfi", "-i",
                                       "sine=sample_rate=22050:duration=1", "-shortest"} +
                               recipe->second + QStringList{clip});
        ASSERT_TRUE(make.waitForFinished(60000));
        ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();

        EngineFileInfo info{};
        EXPECT_EQ(Mydll_GetFileinfo(clip.toUtf8().constData(), &info), 0) << format.extension;
        EXPECT_TRUE(info.width > 0 || info.sampleRate > 0) << format.extension;
        EXPECT_TRUE(IsMediaFileName(QStringLiteral("Clip.") +
                                    QString::fromLatin1(format.extension).toUpper()))
            << format.extension;
    }
}

TEST(MediaFormats, TheDesktopEntryClaimsTheListsTypes) {
    QFile entry(
        QStringLiteral(QOR_SOURCE_DIR "/resources/desktop/com.qorconverter.QorConverter.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList claimed;
    for (const QString& line : QString::fromUtf8(entry.readAll()).split('\n')) {
        if (line.startsWith(QStringLiteral("MimeType=")))
            claimed = line.mid(9).split(';', Qt::SkipEmptyParts);
    }
    EXPECT_EQ(claimed, MediaMimeTypes());
    EXPECT_EQ(MediaMimeTypes().size(), QSet<QString>(claimed.begin(), claimed.end()).size());
}
