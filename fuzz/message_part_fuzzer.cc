// Parses any bytes as a whole message, looks up the two headers that the
// plug-in reads, and walks the tree checking what every stored line must
// hold.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "parse/line_list.h"
#include "parse/message_part.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckLines(const corvane::LineList& list) {
  const corvane::LineNode* prev = nullptr;
  for (const corvane::LineNode* node = list.Head(); node != nullptr;
       node = node->next) {
    Check(node->prev == prev);
    Check(node->length >= 2 &&
          std::strlen(node->text) == static_cast<std::size_t>(node->length));
    Check(std::memcmp(node->text + node->length - 2, "\r\n", 2) == 0);
    prev = node;
  }
  Check(list.Tail() == prev);
}

// A lookup with `size` bytes, in a buffer with guard bytes after them.
void LookUp(const corvane::MessagePart& part, const char* name, int size) {
  std::vector<char> buffer(size + 16, '\x55');
  part.GetHeaderValue(name, buffer.data(), size);
  Check(std::strlen(buffer.data()) < static_cast<std::size_t>(size));
  for (int i = size; i < size + 16; ++i) Check(buffer[i] == '\x55');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const char* start = text.c_str();
  const char* cursor = start;

  corvane::MessagePart top;
  top.Parse(&cursor, nullptr);
  Check(cursor >= start && cursor <= start + std::strlen(start));

  for (const char* name : {"Xref", "Message-Id"}) {
    for (int lookupSize : {2048, 1, 2, 7}) LookUp(top, name, lookupSize);
  }

  std::vector<std::pair<const corvane::MessagePart*, int>> pending{{&top, 1}};
  while (!pending.empty()) {
    auto [part, depth] = pending.back();
    pending.pop_back();
    Check(depth <= corvane::MessagePart::kMaxDepth);
    Check(std::strlen(part->Type()) <= corvane::MessagePart::kMaxTokenLength);
    Check(std::strlen(part->Subtype()) <=
          corvane::MessagePart::kMaxTokenLength);
    CheckLines(part->HeaderLines());
    CheckLines(part->BodyLines());
    CheckLines(part->TrailerLines());
    for (const corvane::MessagePart* child = part->FirstChild();
         child != nullptr; child = child->NextSibling()) {
      pending.emplace_back(child, depth + 1);
    }
  }
  return 0;
}
