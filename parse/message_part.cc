#include "parse/message_part.h"

#include <cstring>

#include "parse/text_split.h"

namespace corvane {

namespace {

// ReadLine's bound for every line: at most 65535 bytes come in one read.
constexpr int kLineBound = 65536;
// A line read whole, or joined up to the bound, plus CR LF and the NUL.
constexpr int kLineBufferSize = kLineBound + 4;

constexpr char kContentType[] = "Content-Type:";
constexpr int kContentTypeLength = sizeof(kContentType) - 1;

char FoldCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether the first `length` bytes of `a` and `b` are equal when only the
// ASCII letters are folded.
bool EqualsIgnoringCase(const char* a, const char* b, int length) {
  for (int i = 0; i < length; ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// Reads the next line into `dest` (at most `bound` - 1 bytes of it) and ends
// it with CR LF and a NUL. Returns its length with the CR LF; 0 at the end
// of the text.
int ReadStoredLine(const char** cursor, char* dest, int bound) {
  int length = ReadLine(cursor, dest, bound);
  if (length == 0) return 0;
  if (dest[length - 1] == '\n') {
    --length;
  } else if (**cursor == '\r' || **cursor == '\n') {
    // Cut just before its line end: taking the line end along keeps it
    // from coming back as an empty line, which would end a header.
    char lineEnd[2];
    ReadLine(cursor, lineEnd, 2);
  }
  dest[length++] = '\r';
  dest[length++] = '\n';
  dest[length] = '\0';
  return length;
}

// Joins to the header line of `length` bytes in `line` the continuation
// lines that follow it, each keeping its CR LF.
void JoinContinuationLines(const char** cursor, char* line, int length) {
  // At least two bytes of room, so that one byte of the next line fits: a
  // continuation line that would get none is left to be read as a header
  // line of its own.
  while (length < kLineBound - 1 && (**cursor == ' ' || **cursor == '\t')) {
    length += ReadStoredLine(cursor, line + length, kLineBound - length);
  }
}

// Whether the line of `length` bytes (without its CR LF) begins with "--"
// and `boundary`.
bool StartsWithDelimiter(const char* line, int length, const char* boundary,
                         int boundaryLength) {
  return length >= 2 + boundaryLength && line[0] == '-' && line[1] == '-' &&
         std::memcmp(line + 2, boundary, boundaryLength) == 0;
}

// Copies `token`, cut to its first MessagePart::kMaxTokenLength bytes.
void CopyToken(char* dest, const char* token) {
  int length = 0;
  while (length < MessagePart::kMaxTokenLength && token[length] != '\0') {
    dest[length] = token[length];
    ++length;
  }
  dest[length] = '\0';
}

}  // namespace

MessagePart::MessagePart() {
  type[0] = '\0';
  subtype[0] = '\0';
}

MessagePart::~MessagePart() {
  ReleaseParts(firstChild);
  ReleaseParts(nextSibling);
}

void MessagePart::ReleaseParts(MessagePart* part) {
  // Seen through firstChild and nextSibling the parts form a binary tree.
  // Rotating each first child up in front of its parent flattens the tree
  // while it is deleted, so neither deep nesting nor a long chain of
  // siblings recurses, and no memory is needed on the way.
  while (part != nullptr) {
    MessagePart* child = part->firstChild;
    if (child != nullptr) {
      part->firstChild = child->nextSibling;
      child->nextSibling = part;
      part = child;
    } else {
      MessagePart* next = part->nextSibling;
      part->nextSibling = nullptr;
      delete part;
      part = next;
    }
  }
}

void MessagePart::Parse(const char** cursor, const char* endBoundary) {
  // One buffer serves every level: a part reads its next line only after
  // its sub-part has returned, and keeps nothing in the buffer meanwhile.
  std::unique_ptr<char[]> line(new char[kLineBufferSize]);
  ParseLines(cursor, endBoundary, line.get(), 1);
}

void MessagePart::ParseLines(const char** cursor, const char* endBoundary,
                             char* line, int depth) {
  headerLines.Clear();
  bodyLines.Clear();
  trailerLines.Clear();
  const int endLength =
      endBoundary == nullptr ? 0 : static_cast<int>(std::strlen(endBoundary));
  // The own boundary is known once the header is over; a part at the depth
  // limit has none for the purpose of opening sub-parts.
  const char* own = nullptr;
  int ownLength = 0;
  MessagePart* lastChild = LastChild();

  enum class State { kHeader, kBody, kTrailer };
  State state = State::kHeader;
  for (;;) {
    const char* lineStart = *cursor;
    int length = ReadStoredLine(cursor, line, kLineBound);
    if (length == 0) return;
    const int contentLength = length - 2;  // Without the CR LF.

    switch (state) {
      case State::kHeader:
        if (contentLength == 0) {
          headerLines.Append(line);
          state = State::kBody;
          if (boundary != nullptr && depth < kMaxDepth) {
            own = boundary.get();
            ownLength = static_cast<int>(std::strlen(own));
          }
          break;
        }
        JoinContinuationLines(cursor, line, length);
        headerLines.Append(line);
        if (EqualsIgnoringCase(line, kContentType, kContentTypeLength)) {
          TakeContentType(line + kContentTypeLength);
        }
        break;

      case State::kBody:
        if (own != nullptr &&
            StartsWithDelimiter(line, contentLength, own, ownLength)) {
          if (contentLength == 2 + ownLength) {
            // Linked before it is parsed, so that a part that runs out of
            // memory half-way is still released with the tree.
            MessagePart* child = new MessagePart;
            if (lastChild == nullptr) {
              firstChild = child;
            } else {
              lastChild->nextSibling = child;
            }
            lastChild = child;
            child->ParseLines(cursor, own, line, depth + 1);
            break;
          }
          if (contentLength == 4 + ownLength && line[2 + ownLength] == '-' &&
              line[3 + ownLength] == '-') {
            // A whole message ends at its closing delimiter; what follows
            // is not read.
            if (endBoundary == nullptr) return;
            state = State::kTrailer;
            break;
          }
        }
        if (endBoundary != nullptr &&
            StartsWithDelimiter(line, contentLength, endBoundary, endLength)) {
          *cursor = lineStart;
          return;
        }
        bodyLines.Append(line);
        break;

      case State::kTrailer:
        if (StartsWithDelimiter(line, contentLength, endBoundary, endLength)) {
          *cursor = lineStart;
          return;
        }
        trailerLines.Append(line);
        break;
    }
  }
}

void MessagePart::TakeContentType(char* value) {
  // Taken apart as strtok would: a step that meets the end of the text
  // before a token finds nothing, and then nothing is set.
  char* p = value + std::strspn(value, "/ \t");
  if (*p == '\0') return;
  char* typeToken = p;
  p += std::strcspn(p, "/ \t");
  if (*p != '\0') *p++ = '\0';

  p += std::strspn(p, "; \r\n\t");
  if (*p == '\0') return;
  char* subtypeToken = p;
  p += std::strcspn(p, "; \r\n\t");
  if (*p != '\0') *p++ = '\0';

  CopyToken(type, typeToken);
  CopyToken(subtype, subtypeToken);
  TakeBoundary(p);
}

void MessagePart::TakeBoundary(char* parameters) {
  if (*parameters == '\0') return;
  char* name;
  char* value;
  char* next = NextParameter(parameters, &name, &value);
  while (next != nullptr) {
    if (std::strlen(name) == 8 && EqualsIgnoringCase(name, "boundary", 8)) {
      const std::size_t length = std::strlen(value);
      char* copy = new char[length + 1];
      std::memcpy(copy, value, length + 1);
      boundary.reset(copy);
    }
    if (*next == '\0') return;
    next = NextParameter(next, &name, &value);
  }
}

MessagePart* MessagePart::LastChild() const {
  MessagePart* last = firstChild;
  while (last != nullptr && last->nextSibling != nullptr) {
    last = last->nextSibling;
  }
  return last;
}

void MessagePart::GetHeaderValue(const char* name, char* buffer,
                                 int size) const {
  if (size < 1) return;
  buffer[0] = '\0';
  const int nameLength = static_cast<int>(std::strlen(name));
  for (const LineNode* node = headerLines.Head(); node != nullptr;
       node = node->next) {
    if (node->length <= nameLength || node->text[nameLength] != ':' ||
        !EqualsIgnoringCase(node->text, name, nameLength)) {
      continue;
    }
    const char* value = node->text + nameLength + 1;
    while (IsSpaceChar(static_cast<unsigned char>(*value))) ++value;
    int length = node->length - static_cast<int>(value - node->text);
    if (length > size - 1) length = size - 1;
    std::memcpy(buffer, value, length);
    buffer[length] = '\0';
    return;
  }
}

}  // namespace corvane
