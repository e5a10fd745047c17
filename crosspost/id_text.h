// Small rules about the host's ids that several steps share.

#ifndef CORVANE_CROSSPOST_ID_TEXT_H_
#define CORVANE_CROSSPOST_ID_TEXT_H_

#include <cstddef>

namespace corvane {

// The host builds ids and paths in buffers of this many bytes, terminator
// included; a longer one cannot name anything the host keeps.
constexpr size_t kPathBufferSize = 260;
constexpr size_t kLongestPath = kPathBufferSize - 1;

// True when `a` and `b` are the same text, taking the ASCII letters A-Z as
// equal to a-z and comparing every other byte as it is.
bool EqualIgnoringAsciiCase(const char* a, const char* b);

}  // namespace corvane

#endif  // CORVANE_CROSSPOST_ID_TEXT_H_
