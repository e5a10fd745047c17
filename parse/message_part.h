// MessagePart: one parsed message or body part.
//
// Parse() reads a message text (header fields with folded continuation
// lines, a blank line, a body that may be a MIME multipart) into a tree of
// parts: each holds its header lines, its body lines, the lines after its
// closing multipart delimiter, the type, subtype and boundary of its
// "Content-Type:" header, and its sub-parts. GetHeaderValue() looks up a
// header field of this part by name.
//
// Every stored line is a copy of its own that ends in CR LF, whatever line
// ends the text used. The text itself is only read.
//
// Ownership: the caller owns the top part; a part owns its sub-parts (the
// first one, and through it the chain of its siblings), its lines and its
// boundary copy. Destroying a part releases everything below it, without
// recursion, so that no tree can exhaust the stack.
//
// Limits, so that no text can exhaust a 32-bit host's stack or memory:
// lines are read through one heap buffer per Parse() call, shared by all
// levels; a part kMaxDepth levels down (the top part is level 1) opens no
// sub-parts, its own delimiter lines being body lines; memory grows with
// the text and nothing else.
//
// Out of memory: Parse() lets std::bad_alloc through. The part then holds
// what was parsed so far, every sub-part already linked, and destroys as
// usual; the caller drops it.
//
// A part is used by one thread at a time; parts on different threads do
// not meet.

#ifndef CORVANE_PARSE_MESSAGE_PART_H_
#define CORVANE_PARSE_MESSAGE_PART_H_

#include <memory>

#include "parse/line_list.h"

namespace corvane {

class MessagePart {
 public:
  // Levels of parts in a tree, the top part included. Real messages nest a
  // handful of levels; the limit only bounds the stack of Parse().
  static constexpr int kMaxDepth = 64;
  // Bytes kept of the type and of the subtype.
  static constexpr int kMaxTokenLength = 40;

  MessagePart();
  ~MessagePart();

  MessagePart(const MessagePart&) = delete;
  MessagePart& operator=(const MessagePart&) = delete;

  // Reads this part from the text cursor `*cursor` and leaves the cursor
  // after the last line that belongs to the part: at the end of the text,
  // after the closing delimiter of a whole message, or at the start of the
  // delimiter line of the enclosing multipart (`endBoundary`) that ends it.
  // `endBoundary` is the boundary of the enclosing multipart, or null for a
  // whole message; it is only read.
  // REQUIRES: *cursor points into a NUL-terminated text; the part is new.
  void Parse(const char** cursor, const char* endBoundary);

  // Copies the value of the first header field of this part (not of its
  // sub-parts) named `name`, compared without regard to ASCII letter case,
  // into `buffer` (`size` bytes): the rest of the field after the colon and
  // any white space, with the CR LF of each of its lines, cut to size - 1
  // bytes. The buffer receives an empty text when there is no such field.
  // REQUIRES: name is NUL-terminated; size >= 1.
  void GetHeaderValue(const char* name, char* buffer, int size) const;

  // The type and subtype of the last complete "Content-Type:" header, each
  // at most kMaxTokenLength bytes; empty when there was none.
  const char* Type() const { return type; }
  const char* Subtype() const { return subtype; }
  // The value of the last "boundary" parameter of such a header; null when
  // none was seen.
  const char* Boundary() const { return boundary.get(); }

  // Each header entry is one field with its continuation lines; the blank
  // line that ends the header, when there is one, is the last entry.
  const LineList& HeaderLines() const { return headerLines; }
  // For a multipart, the lines before its first delimiter.
  const LineList& BodyLines() const { return bodyLines; }
  // The lines after the closing delimiter of a sub-part, up to the next
  // delimiter line of the enclosing multipart.
  const LineList& TrailerLines() const { return trailerLines; }

  // Sub-parts in text order; null when there are none.
  const MessagePart* FirstChild() const { return firstChild; }
  const MessagePart* NextSibling() const { return nextSibling; }

 private:
  // Parse() at nesting level `depth`, reading lines through `line`, the
  // buffer shared by all levels.
  void ParseLines(const char** cursor, const char* endBoundary, char* line,
                  int depth);
  // Takes the type, subtype and boundary from a "Content-Type:" value,
  // writing NULs into `value`.
  void TakeContentType(char* value);
  void TakeBoundary(char* parameters);
  MessagePart* LastChild() const;
  // Deletes `part`, its sub-parts and the siblings that follow it.
  static void ReleaseParts(MessagePart* part);

  char type[kMaxTokenLength + 1];
  char subtype[kMaxTokenLength + 1];
  std::unique_ptr<char[]> boundary;
  LineList headerLines;
  LineList bodyLines;
  LineList trailerLines;
  MessagePart* nextSibling = nullptr;  // Owned.
  MessagePart* firstChild = nullptr;   // Owned.
};

}  // namespace corvane

#endif  // CORVANE_PARSE_MESSAGE_PART_H_
