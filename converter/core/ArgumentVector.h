// The conversion's argument vector: the seventeen values that a row and the settings give, set
// between the engine's switches into the 36 entries that a conversion reads, and the rules that
// turn the settings' texts into those values.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "profiles/core/DeviceTable.h"

// The seventeen values, in the order the job runner collects them.
enum JobValue : int {
    ValueDuration,
    ValueSourcePath,
    ValueVolume,
    ValueOutputPath,
    ValueVideoCodec,
    ValuePadTop,
    ValuePadBottom,
    ValuePadLeft,
    ValuePadRight,
    ValueFrameSize,
    ValueFrameRate,
    ValueVideoBitRate,
    ValueAudioCodec,
    ValueAudioChannels,
    ValueAudioBitRate,
    ValueAudioRate,
    ValueFormat,
    JobValueCount
};

// The 36 entries: the program-name slot, the switches and the values in their places, the
// output path last. Raises std::invalid_argument unless there are exactly seventeen values.
// With a `start` (seconds, as DurationText writes them), "-ss" and the start go before "-t",
// 38 entries: the engine then converts from that moment of the source for the duration.
std::vector<QString> ArgumentEntries(const std::vector<QString>& values,
                                     const QString& start = QString());

struct AudioRates {
    int64_t bitRate = 0;     // kbit/s
    int64_t sampleRate = 0;  // Hz
};

// The audio bit rate and rate from the two list items. A rate too low for the bit rate (more
// than 6 bits per sample) is raised to (bit rate / 6) x 1000 + 1000, all in integer
// arithmetic. Raises EConvertError for an item that does not begin with a number and
// EDivByZero for a rate of 0.
AudioRates ApplyAudioRateRule(const QString& audioQuality, const QString& audioRate);

struct FrameSize {
    int width = 0;
    int height = 0;
};

// A frame size such as "320x240", split at its first "x"; raises EConvertError when either
// side is not a decimal integer.
FrameSize ParseFrameSize(const QString& text);

// A duration in seconds as a general number: 60 gives "60", 12.5 gives "12.5".
QString DurationText(double seconds);

// The engine's output format for a family: "3gp" when the 3GP output file type list has its
// second entry selected and "3g2" otherwise, "psp", "mp4"; empty for PDAs, whose output format
// the engine takes from the target's extension.
QString OutputFormat(DeviceType device, int outputFileTypeIndex);

// The entries as the engine reads them: one UTF-8 buffer per entry, each as long as its text
// (no length limit), and the array of pointers to them. Both stay in place for the life of the
// object, which the runner keeps until the engine has ended the conversion.
class ArgumentVector {
public:
    explicit ArgumentVector(const std::vector<QString>& entries);
    ArgumentVector(const ArgumentVector&) = delete;
    ArgumentVector& operator=(const ArgumentVector&) = delete;

    int Count() const { return int(buffers_.size()); }
    char** Data() { return pointers_.data(); }

private:
    std::vector<QByteArray> buffers_;
    std::vector<char*> pointers_;  // Count() entries and a closing null
};
