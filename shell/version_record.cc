// The library's version information where the platform has no version
// resources: a record the platform layer reads from the loaded library.

#include <cstdint>

#include "platform/calling_convention.h"

extern "C" CORVANE_EXPORT const uint16_t CorvaneFileVersion[4] = {
    CORVANE_VERSION_MAJOR, CORVANE_VERSION_MINOR, CORVANE_VERSION_BUILD,
    CORVANE_VERSION_REVISION};
