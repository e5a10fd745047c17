#include "tools/standin_host/transcript.h"

#include <cstdio>
#include <cstring>

namespace corvane {
namespace standin {

namespace {

struct Label {
  const char* codePage932;
  const char* utf8;
};

// The labels that start the plug-in's trace lines.
constexpr Label kTraceLabels[] = {
    // カレントメールID:
    {"\x83\x4a\x83\x8c\x83\x93\x83\x67\x83\x81\x81\x5b\x83\x8bID:",
     "\xe3\x82\xab\xe3\x83\xac\xe3\x83\xb3\xe3\x83\x88\xe3\x83\xa1\xe3\x83\xbc"
     "\xe3\x83\xab" "ID:"},
    // 既読対象メールID:
    {"\x8a\xf9\x93\xc7\x91\xce\x8f\xdb\x83\x81\x81\x5b\x83\x8bID:",
     "\xe6\x97\xa2\xe8\xaa\xad\xe5\xaf\xbe\xe8\xb1\xa1\xe3\x83\xa1\xe3\x83\xbc"
     "\xe3\x83\xab" "ID:"},
};

void AppendEscaped(char byte, std::string* out) {
  switch (byte) {
    case '\n': *out += "\\n"; return;
    case '\r': *out += "\\r"; return;
    case '\t': *out += "\\t"; return;
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
