#include "platform/core/FloatingPoint.h"

#include <cfenv>

namespace platform {

void MaskFloatingPointExceptions() {
#if defined(__GLIBC__)
    fedisableexcept(FE_ALL_EXCEPT);
#endif
    std::feclearexcept(FE_ALL_EXCEPT);
}

}  // namespace platform
