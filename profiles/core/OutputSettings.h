// The output settings of a conversion as plain values: the item chosen in each of the family's
// lists (its position and its text, as the settings panel shows it), the video bit rate, the
// letterbox switch and the volume. The settings panel, the custom profiles and the job plan all
// speak in this value.
#pragma once

#include <QString>

// One list's choice: the item's position in the family's list (-1 when none is chosen) and its
// text ("320x240", "8000 Hz"; empty when none is chosen).
struct ListChoice {
    int index = -1;
    QString text;
};

struct OutputSettings {
    ListChoice videoCodec;    // "MPEG4", "H264", ...
    ListChoice resolution;    // "320x240"
    ListChoice frameRate;     // "29.97"
    ListChoice audioBitRate;  // "128 kbps"
    ListChoice sampleRate;    // "44100 Hz"
    ListChoice channels;      // position 0 is one channel, 1 two
    ListChoice fileType;      // the output file type list's choice
    QString videoBitRate = QStringLiteral("512");  // kbit/s, the spin edit's text
    bool letterbox = false;
    int volume = 100;  // percent, 0..300
};
