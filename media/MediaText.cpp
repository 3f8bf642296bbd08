#include "media/MediaText.h"

#include <cmath>
#include <limits>

#include "platform/Paths.h"

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
    const QString video =
        VideoLine(QString::fromUtf8(info.videoFormat), info.width, info.height, info.fps);
    const QString audio = AudioLine(QString::fromUtf8(info.audioFormat), info.sampleRate,
                                    WholeBitRate(info.bitRate), info.channels);
    return QStringLiteral("Video<>") + video + QStringLiteral("Audio<>") + audio;
}

QString TargetExtension(DeviceType device, int outputFileTypeIndex) {
    if (device == Dev3GP)
        return outputFileTypeIndex == 1 ? QStringLiteral(".3gp") : QStringLiteral(".3g2");
    const DeviceInfo* info = FindDevice(device);
    return info ? info->extension : QStringLiteral(".MP4");
}

QString TargetName(const QString& sourcePath, DeviceType device, int outputFileTypeIndex) {
    const QString extension = TargetExtension(device, outputFileTypeIndex);
    const QString name = platform::FileNamePart(sourcePath);
    const qsizetype dot = name.indexOf('.');
    return (dot < 0 ? QString() : name.left(dot)) + extension;
}

QString UniqueTargetName(const QString& wanted, const QStringList& taken) {
    if (!taken.contains(wanted, Qt::CaseInsensitive))
        return wanted;
    // The number goes before the extension, the part from the last ".".
    const qsizetype dot = wanted.lastIndexOf('.');
    const QString stem = dot < 0 ? wanted : wanted.left(dot);
    const QString extension = dot < 0 ? QString() : wanted.mid(dot);
    for (int n = 2;; ++n) {
        const QString number = QStringLiteral("(%1)").arg(n);
        const QString candidate =
            (stem.isEmpty() ? number : stem + QChar(' ') + number) + extension;
        if (!taken.contains(candidate, Qt::CaseInsensitive))
            return candidate;
    }
}

QStringList UniqueTargetNames(const QStringList& wanted) {
    QStringList names;
    names.reserve(wanted.size());
    for (const QString& name : wanted)
        names << UniqueTargetName(name, names);
    return names;
}
