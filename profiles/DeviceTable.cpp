#include "profiles/DeviceTable.h"

#include "platform/Paths.h"

const DeviceInfo* FindDevice(int device) {
    static const QString sep = platform::Separator();
    static const DeviceInfo table[] = {
        {QStringLiteral("All To 3GP 3GPP (Mobile) Video Converter"), "3GP" + sep, "3GP.jpg", ".3g2",
         "3GP", false},
        {QStringLiteral("All To PSP Video Converter"), "PSP" + sep, "PSP.jpg", ".MP4", "PSP", true},
        {QStringLiteral("All To IPOD Video Converter"), "IPOD" + sep, "IPOD.jpg", ".MP4", "IPOD",
         false},
        {QStringLiteral("All To PDA Video Converter"), "PDA" + sep, "PDA.jpg", ".MP4", "PDA",
         false},
        {QStringLiteral("All To MP4 Video Converter"), "MP4" + sep, "MP4.jpg", ".MP4", "MP4",
         false},
    };
    if (device < Dev3GP || device > DevMP4)
        return nullptr;
    return &table[device];
}
