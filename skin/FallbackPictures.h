// The look pictures the controls draw from, with a plain stand-in for each wherever a look has
// none (a look outside 1 to 5), so that every control stays usable and legible.
#pragma once

#include <QImage>

#include "skin/Looks.h"

// The entry's bitmap, or when `frames` is not 0 frame `frame` (1-based) of `frames`, as
// GetInsideThemeBitmap loads it; the entry's stand-in, cut the same way, when the look has no
// such picture. A null image for an entry that has no stand-in.
QImage LookPicture(UIStyle look, int entry, int frame = 0, int frames = 0);
