#include "media/core/MediaText.h"

#include <cmath>
#include <limits>

// The format name goes in as a whole QString rather than through "%s", so a long name is
// carried whole and a name the engine left unset cannot reach printf as a null pointer.
QString VideoLine(const QString& format, int width, int height, double fps) {
    return format + QString::asprintf("  %dx%d  fps:%5.2f\n", width, height, fps);
}

QString AudioLine(const QString& format, int sampleRate, int bitRate, int channels) {
    return format +
           QString::asprintf("  %10.2dKHZ  bitrate:%d  channels:%d", sampleRate, bitRate, channels);
}

int WholeBitRate(float bitRate) {
    if (std::isnan(bitRate))
        return 0;
    const double whole = std::trunc(double(bitRate));
    if (whole >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (whole <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(whole);
}

QString ProbeInfoText(const EngineFileInfo& info) {
    return ProbeInfoText(info, info.width, info.height);
}

QString ProbeInfoText(const EngineFileInfo& info, int width, int height) {
    const QString video = VideoLine(QString::fromUtf8(info.videoFormat), width, height, info.fps);
    const QString audio = AudioLine(QString::fromUtf8(info.audioFormat), info.sampleRate,
                                    WholeBitRate(info.bitRate), info.channels);
    return QStringLiteral("Video<>") + video + QStringLiteral("Audio<>") + audio;
}
