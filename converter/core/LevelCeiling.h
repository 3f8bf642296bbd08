// The device families' H.264 level ceilings, checked before a row starts: settings whose
// stream would need a level above what the family's players take are refused with a sentence
// that names the setting to change. The levels follow the engine's own rule.
#pragma once

#include <QString>

#include "profiles/core/DeviceTable.h"

// Raises QorError with the family's sentence, such as "the iPod takes at most 768 kbps H.264
// at 320x240; lower the video quality", when `videoCodec` is h264 and the frame size, frame
// rate and video bit rate (the vector's texts) need a level above the family's ceiling.
// Anything else passes: other codecs, families without a ceiling, and texts that are not
// numbers (the engine refuses those itself).
void CheckVideoCeiling(DeviceType device, const QString& videoCodec, const QString& frameSize,
                       const QString& frameRate, const QString& videoKbps);
