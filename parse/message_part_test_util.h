// Helpers for the tests of MessagePart: texts to parse, and walks over the
// parsed tree that need no stack of their own.

#ifndef CORVANE_PARSE_MESSAGE_PART_TEST_UTIL_H_
#define CORVANE_PARSE_MESSAGE_PART_TEST_UTIL_H_

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "parse/line_list.h"
#include "parse/message_part.h"

namespace corvane {
namespace test {

// A heap copy of `bytes` plus its terminator, sized exactly, so that the
// address sanitizer catches any read past the terminator.
inline std::unique_ptr<char[]> CopyText(const std::string& bytes) {
  std::unique_ptr<char[]> text(new char[bytes.size() + 1]);
  std::memcpy(text.get(), bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return text;
}

// A text parsed as a whole message (or up to `endBoundary`), with where the
// cursor stopped, as an offset into the text.
struct ParsedText {
  MessagePart part;
  std::size_t stop = 0;

  explicit ParsedText(const std::string& bytes,
                      const char* endBoundary = nullptr) {
    std::unique_ptr<char[]> text = CopyText(bytes);
    const char* cursor = text.get();
    part.Parse(&cursor, endBoundary);
    stop = static_cast<std::size_t>(cursor - text.get());
  }
};

inline std::vector<std::string> Lines(const LineList& list) {
  std::vector<std::string> lines;
  for (const LineNode* node = list.Head(); node != nullptr; node = node->next) {
    lines.emplace_back(node->text, node->length);
  }
  return lines;
}

inline std::vector<const MessagePart*> Children(const MessagePart& part) {
  std::vector<const MessagePart*> children;
  for (const MessagePart* child = part.FirstChild(); child != nullptr;
       child = child->NextSibling()) {
    children.push_back(child);
  }
  return children;
}

// Calls `visit` with every part of the tree below and including `top`, and
// its level (the top part is level 1).
inline void ForEachPart(
    const MessagePart& top,
    const std::function<void(const MessagePart&, int)>& visit) {
  std::vector<std::pair<const MessagePart*, int>> pending{{&top, 1}};
  while (!pending.empty()) {
    auto [part, depth] = pending.back();
    pending.pop_back();
    visit(*part, depth);
    for (const MessagePart* child = part->FirstChild(); child != nullptr;
         child = child->NextSibling()) {
      pending.emplace_back(child, depth + 1);
    }
  }
}

inline int MaxDepth(const MessagePart& top) {
  int deepest = 0;
  ForEachPart(top, [&](const MessagePart&, int depth) {
    deepest = std::max(deepest, depth);
  });
  return deepest;
}

}  // namespace test
}  // namespace corvane

#endif  // CORVANE_PARSE_MESSAGE_PART_TEST_UTIL_H_
