#include "tools/standin_host/transcript.h"

#include <cstdio>
#include <cstring>

namespace corvane {
namespace standin {

namespace {

// The source is UTF-8, and so are its string literals.
struct Label {
  const char* codePage932;
  const char* utf8;
};

// The labels that start the plug-in's trace lines.
constexpr Label kTraceLabels[] = {
    {"\x83\x4a\x83\x8c\x83\x93\x83\x67\x83\x81\x81\x5b\x83\x8bID:",
     "カレントメールID:"},
    {"\x8a\xf9\x93\xc7\x91\xce\x8f\xdb\x83\x81\x81\x5b\x83\x8bID:",
     "既読対象メールID:"},
};

void AppendEscaped(char byte, std::string* out) {
  switch (byte) {
    case '\n':
      *out += "\\n";
      return;
    case '\r':
      *out += "\\r";
      return;
    case '\t':
      *out += "\\t";
      return;
  }
  auto value = static_cast<unsigned char>(byte);
  if (value < 0x20 || value == 0x7f) {
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\x%02x", value);
    *out += escape;
  } else {
    *out += byte;
  }
}

}  // namespace

std::string QuoteText(const std::string& raw) {
  std::string out = "\"";
  size_t i = 0;
  while (i < raw.size()) {
    bool decoded = false;
    for (const Label& label : kTraceLabels) {
      size_t length = std::strlen(label.codePage932);
      if (raw.compare(i, length, label.codePage932) == 0) {
        out += label.utf8;
        i += length;
        decoded = true;
        break;
      }
    }
    if (!decoded) AppendEscaped(raw[i++], &out);
  }
  return out + "\"";
}

std::string DescribeEvent(const HostEvent& event) {
  if (event.kind == HostEvent::Kind::kDebugWrite) {
    return "debug " + QuoteText(event.text);
  }
  if (event.function == "BKA_GetStatus") {
    return event.function + "(" + QuoteText(event.text) + ") -> " +
           std::to_string(event.result);
  }
  if (event.function == "BKA_SetStatus") {
    return event.function + "(" + QuoteText(event.text) + ", " +
           std::to_string(event.value) + ", " + std::to_string(event.mask) +
           ")";
  }
  if (event.function == "BKA_GetHeader") {
    return event.function + "(" + QuoteText(event.text) + ")";
  }
  return event.function + "()";
}

}  // namespace standin
}  // namespace corvane
