#include "crosspost/id_text.h"

namespace corvane {

namespace {

unsigned char FoldAsciiCase(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 32)
                                    : byte;
}

}  // namespace

bool EqualIgnoringAsciiCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    unsigned char left = FoldAsciiCase(static_cast<unsigned char>(*a));
    unsigned char right = FoldAsciiCase(static_cast<unsigned char>(*b));
    if (left != right) return false;
    if (left == '\0') return true;
  }
}

}  // namespace corvane
