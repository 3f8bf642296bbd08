#include "converter/core/ArgumentVector.h"

#include <stdexcept>
#include <utility>

#include "engine/FrameSize.h"
#include "platform/core/ByteNames.h"
#include "platform/core/Convert.h"
#include "platform/core/Errors.h"

std::vector<QString> ArgumentEntries(const std::vector<QString>& v, const QString& start) {
    if (v.size() != JobValueCount) {
        throw std::invalid_argument("the argument vector needs seventeen values");
    }
    std::vector<QString> entries = {"hacktest.exe",   "-y",           "-t",
                                    v[ValueDuration], "-i",           v[ValueSourcePath],
                                    "-vol",           v[ValueVolume], "-bitexact"};
    // From the video codec on, each switch before its value; the output path last.
    const std::pair<const char*, JobValue> switches[] = {
        {"-vcodec", ValueVideoCodec}, {"-padtop", ValuePadTop},     {"-padbottom", ValuePadBottom},
        {"-padleft", ValuePadLeft},   {"-padright", ValuePadRight}, {"-s", ValueFrameSize},
        {"-b", ValueVideoBitRate},    {"-r", ValueFrameRate},       {"-acodec", ValueAudioCodec},
        {"-ac", ValueAudioChannels},  {"-ar", ValueAudioRate},      {"-ab", ValueAudioBitRate},
        {"-f", ValueFormat}};
    for (const auto& [name, value] : switches)
        entries.insert(entries.end(), {name, v[value]});
    entries.push_back(v[ValueOutputPath]);
    if (!start.isEmpty())
        entries.insert(entries.begin() + 2, {QStringLiteral("-ss"), start});
    return entries;
}

// The integer written before the first space of a list item ("8000 Hz" gives 8000; an item
// without a space is read whole). Raises EConvertError when that is not a decimal integer.
static int LeadingInteger(const QString& text) {
    const qsizetype space = text.indexOf(' ');
    return StrToInt(space < 0 ? text : text.left(space));
}

AudioRates ApplyAudioRateRule(const QString& audioQuality, const QString& audioRate) {
    AudioRates rates;
    rates.bitRate = LeadingInteger(audioQuality);
    rates.sampleRate = LeadingInteger(audioRate);
    if (rates.sampleRate == 0)
        throw EDivByZero();
    if (rates.bitRate * 1000 / rates.sampleRate > 6) {
        rates.sampleRate = rates.bitRate / 6 * 1000 + 1000;
    }
    return rates;
}

FrameSize ParseFrameSize(const QString& text) {
    const std::string utf8 = text.toStdString();
    FrameSize size;
    std::string_view offending;
    if (!kivo::ReadFrameSize(utf8, size.width, size.height, &offending))
        throw EConvertError::NotAnInteger(QString::fromUtf8(offending.data(), offending.size()));
    return size;
}

QString DurationText(double seconds) {
    return QString::number(seconds, 'g', 15);
}

QString OutputFormat(DeviceType device, int outputFileTypeIndex) {
    const DeviceInfo* info = FindDevice(device);
    return info ? info->EngineFormat(outputFileTypeIndex) : QString();
}

ArgumentVector::ArgumentVector(const std::vector<QString>& entries) {
    buffers_.reserve(entries.size());
    for (const QString& entry : entries)
        buffers_.push_back(platform::PathBytes(entry));  // paths keep their bytes
    for (QByteArray& buffer : buffers_)
        pointers_.push_back(buffer.data());
    pointers_.push_back(nullptr);
}
