// The device families and the constants each of them sets across the program.
#pragma once

#include <QString>
#include <cstdint>

enum DeviceType : int32_t {
    DevNone = -1,
    Dev3GP = 0,
    DevPSP = 1,
    DevIPOD = 2,
    DevPDA = 3,
    DevMP4 = 4,
};

struct DeviceInfo {
    QString title;      // caption of the converter window's TitleName
    QString subFolder;  // output sub-folder with a trailing separator, "3GP/"
    QString picture;    // device picture beside the program, "3GP.jpg"
    QString extension;  // target file extension, ".3g2" or ".MP4"
    QString section;    // profile database section, "3GP"
    bool copyStill;     // the still is copied beside the output as a THM file
};

// The constants of `device`; nullptr for a value outside Dev3GP..DevMP4.
const DeviceInfo* FindDevice(int device);
