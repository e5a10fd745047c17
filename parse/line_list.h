// LineList: the lines of one section of a parsed message, in text order.
//
// A doubly linked list that owns its entries and their texts. Lines are only
// ever added at the tail. Readers walk it from Head() along `next` (or from
// Tail() along `prev`); the entries stay valid until the list is cleared or
// destroyed. Used by one thread at a time.

#ifndef CORVANE_PARSE_LINE_LIST_H_
#define CORVANE_PARSE_LINE_LIST_H_

namespace corvane {

// One entry of a LineList: a plain record that the list owns. `text` lives
// in the same heap block as the entry and goes with it.
struct LineNode {
  char* text;      // NUL-terminated copy of the line.
  LineNode* next;  // Null for the last entry.
  LineNode* prev;  // Null for the first entry.
  int length;      // Bytes of `text`, terminator not counted.
};

class LineList {
 public:
  LineList() = default;
  ~LineList() { Clear(); }

  LineList(const LineList&) = delete;
  LineList& operator=(const LineList&) = delete;

  // Adds a copy of `text` at the tail, in constant time. Throws
  // std::bad_alloc when out of memory, leaving the list as it was.
  // REQUIRES: text is NUL-terminated and shorter than 2^31 - 1 bytes.
  void Append(const char* text);

  // Frees every entry with its text; the list is empty and usable after.
  void Clear();

  // The first and the last entry; null when the list is empty.
  const LineNode* Head() const { return head; }
  const LineNode* Tail() const { return tail; }

 private:
  LineNode* head = nullptr;
  LineNode* tail = nullptr;
};

}  // namespace corvane

#endif  // CORVANE_PARSE_LINE_LIST_H_
