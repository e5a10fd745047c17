// ShowBytes: a text as a quoted literal with control, high, quote and
// backslash bytes escaped, so that failure messages show exactly which bytes
// were compared.

#ifndef CORVANE_TESTS_SHOW_BYTES_H_
#define CORVANE_TESTS_SHOW_BYTES_H_

#include <string>

namespace corvane {
namespace test {

inline std::string ShowBytes(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string shown = "\"";
  for (char c : bytes) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
  }
  return shown + "\"";
}

}  // namespace test
}  // namespace corvane

#endif  // CORVANE_TESTS_SHOW_BYTES_H_
