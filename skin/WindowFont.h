// The windows' font: "MS Sans Serif" at 8 points where the desktop has it, otherwise the
// closest narrow sans-serif face.
#pragma once

#include <QFont>

QFont WindowFont();
