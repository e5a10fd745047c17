#include "parse/line_list.h"

#include <cstring>
#include <new>

namespace corvane {

void LineList::Append(const char* text) {
  const std::size_t length = std::strlen(text);
  // The entry and its text share one block: a message of many short lines
  // then costs one allocation per line, not two.
  void* block = ::operator new(sizeof(LineNode) + length + 1);
  char* copy = static_cast<char*>(block) + sizeof(LineNode);
  std::memcpy(copy, text, length + 1);
  LineNode* node =
      new (block) LineNode{copy, nullptr, tail, static_cast<int>(length)};
  if (tail == nullptr) {
    head = node;
  } else {
    tail->next = node;
  }
  tail = node;
}

void LineList::Clear() {
  LineNode* node = head;
  head = nullptr;
  tail = nullptr;
  while (node != nullptr) {
    LineNode* next = node->next;
    ::operator delete(node);  // LineNode is trivially destructible.
    node = next;
  }
}

}  // namespace corvane
