#include "profiles/core/DeviceTable.h"

#include "platform/core/Paths.h"

const DeviceInfo* FindDevice(int device) {
    static const QString sep = platform::Separator();
    static const DeviceInfo table[] = {
        {.title = QStringLiteral("All To 3GP 3GPP (Mobile) Video Converter"),
         .subFolder = "3GP" + sep,
         .picture = "3GP.jpg",
         .extension = ".3g2",
         .section = "3GP",
         .format = "3g2",
         .secondFormat = "3gp",
         .profileLayout = ProfileLayout::Phone,
         .levels = kivo::DeviceFamily::Phone3gp,
         .selectsSavedProfile = true},
        {.title = QStringLiteral("All To PSP Video Converter"),
         .subFolder = "PSP" + sep,
         .picture = "PSP.jpg",
         .extension = ".MP4",
         .section = "PSP",
         .format = "psp",
         .profileLayout = ProfileLayout::Player,
         .levels = kivo::DeviceFamily::Psp,
         .copyStill = true},
        {.title = QStringLiteral("All To IPOD Video Converter"),
         .subFolder = "IPOD" + sep,
         .picture = "IPOD.jpg",
         .extension = ".MP4",
         .section = "IPOD",
         .format = "mp4",
         .profileLayout = ProfileLayout::Player,
         .levels = kivo::DeviceFamily::Ipod,
         .audioQualityFirst = true},
        {.title = QStringLiteral("All To PDA Video Converter"),
         .subFolder = "PDA" + sep,
         .picture = "PDA.jpg",
         .extension = ".MP4",
         .section = "PDA",
         .profileLayout = ProfileLayout::Player,
         .levels = kivo::DeviceFamily::Pda,
         .reappliesProfileBeforeRun = true},
        {.title = QStringLiteral("All To MP4 Video Converter"),
         .subFolder = "MP4" + sep,
         .picture = "MP4.jpg",
         .extension = ".MP4",
         .section = "MP4",
         .format = "mp4",
         .profileLayout = ProfileLayout::Player,
         .levels = kivo::DeviceFamily::Mp4},
    };
    if (device < Dev3GP || device > DevMP4)
        return nullptr;
    return &table[device];
}

QString DeviceInfo::EngineFormat(int fileTypeIndex) const {
    return fileTypeIndex == 1 && !secondFormat.isEmpty() ? secondFormat : format;
}

QString DeviceInfo::TargetExtension(int fileTypeIndex) const {
    return fileTypeIndex == 1 && !secondFormat.isEmpty() ? "." + secondFormat : extension;
}
