// The short warning sound of refused input. Tests replace it to count the beeps.
#pragma once

#include <functional>

void SkinBeep();
// An empty function restores the desktop's own beep.
void SetSkinBeepHandler(std::function<void()> handler);
