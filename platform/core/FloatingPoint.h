// The engine expects every floating-point exception masked before it starts.
#pragma once

namespace platform {
void MaskFloatingPointExceptions();
}
