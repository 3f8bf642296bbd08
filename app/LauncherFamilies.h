// The families the launcher offers a button for, in the order it shows them. PSP and iPod are
// complete families that the launcher does not offer; the launcher's header names only these.
#pragma once

#include "profiles/core/DeviceTable.h"

struct LauncherFamily {
    DeviceType device;
    const char* name;  // as the header's chip shows it
};

inline constexpr LauncherFamily kLauncherFamilies[] = {
    {Dev3GP, "3GP"},
    {DevPDA, "PDA"},
    {DevMP4, "MP4"},
};
