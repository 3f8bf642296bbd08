#include "converter/core/LevelCeiling.h"

#include <QRegularExpression>
#include <cmath>

#include "engine/Levels.h"
#include "platform/core/Errors.h"

namespace {

bool FamilyOf(DeviceType device, kivo::DeviceFamily& family) {
    const DeviceInfo* info = FindDevice(device);
    if (info)
        family = info->levels;  // the levels set no ceiling for PDAs and MP4 players
    return info;
}

// The rate as the engine reads it: 29.97, 23.976, 59.94 and 14.985 are the NTSC fractions,
// other rates are exact to a thousandth.
bool RateFraction(const QString& text, int& num, int& den) {
    bool ok = false;
    const double fps = text.toDouble(&ok);
    if (!ok || fps <= 0 || fps > 1000)
        return false;
    const double whole = std::round(fps * 1.001);
    if (std::fabs(fps - std::round(fps)) > 1e-6 && std::fabs(fps - whole * 1000 / 1001) < 0.005) {
        num = int(whole) * 1000;
        den = 1001;
    } else {
        num = int(std::lround(fps * 1000));
        den = 1000;
    }
    return true;
}

}  // namespace

void CheckVideoCeiling(DeviceType device, const QString& videoCodec, const QString& frameSize,
                       const QString& frameRate, const QString& videoKbps) {
    kivo::DeviceFamily family;
    if (videoCodec.toLower() != QLatin1String("h264") || !FamilyOf(device, family))
        return;
    static const QRegularExpression sizeForm(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const auto size = sizeForm.match(frameSize.toLower());
    kivo::VideoShape shape;
    bool kbpsOk = false;
    shape.kbps = videoKbps.toInt(&kbpsOk);
    if (!size.hasMatch() || !kbpsOk || !RateFraction(frameRate, shape.rateNum, shape.rateDen))
        return;
    // The engine makes odd sizes even.
    shape.width = size.captured(1).toInt() & ~1;
    shape.height = size.captured(2).toInt() & ~1;
    const std::string refusal = kivo::CeilingRefusal(family, shape);
    if (!refusal.empty())
        throw QorError(QString::fromStdString(refusal));
}
