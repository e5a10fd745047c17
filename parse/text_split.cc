#include "parse/text_split.h"

#include <cassert>

#include "platform/platform.h"

namespace corvane {

namespace {

// The bytes that end a parameter's unquoted value, besides NUL.
bool IsLineSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsParameterSeparator(char c) { return c == ';' || IsLineSpace(c); }

// White space as the C locale's isspace sees it. Tested byte by byte rather
// than with isspace, so that the process's locale cannot change the result.
bool IsCLocaleSpace(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return byte == ' ' || (byte >= 0x09 && byte <= 0x0D);
}

// The size in bytes of the character at `p`, which is not the terminator: a
// lead byte takes the byte after it along, unless that byte is the
// terminator.
int CharacterSize(const char* p, Platform& platform) {
  bool lead = platform.IsLeadByte(static_cast<unsigned char>(*p));
  return lead && p[1] != '\0' ? 2 : 1;
}

}  // namespace

int ReadLine(const char** cursor, char* buffer, int size) {
  assert(size >= 1);
  const char* p = *cursor;
  if (*p == '\0') return 0;
  int count = 0;
  // The bound is tested before each byte is looked at, so a cut line leaves
  // the cursor on the first byte that did not fit.
  while (count < size - 1 && *p != '\0') {
    char c = *p++;
    if (c == '\r') {
      if (*p == '\n') ++p;
      c = '\n';
    }
    buffer[count++] = c;
    if (c == '\n') break;
  }
  buffer[count] = '\0';
  *cursor = p;
  return count;
}

int IsSpaceChar(int c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ' ? 1 : 0;
}

char* NextParameter(char* text, char** name, char** value) {
  while (IsParameterSeparator(*text)) ++text;
  *name = nullptr;
  *value = nullptr;
  char* equals = text;
  while (*equals != '\0' && *equals != '=') ++equals;
  if (*equals == '\0') return nullptr;

  *equals = '\0';
  char* start = equals + 1;
  while (IsLineSpace(*start)) ++start;
  char* end;
  if (*start == '"') {
    ++start;
    end = start;
    while (*end != '\0' && *end != '"') ++end;
  } else {
    end = start;
    while (*end != '\0' && !IsParameterSeparator(*end)) ++end;
  }
  char* next = end;
  if (*end != '\0') {
    *end = '\0';
    ++next;
  }
  while (IsParameterSeparator(*next)) ++next;
  *name = text;
  *value = start;
  return next;
}

int SplitFields(char* text, char separator, char** fields, int capacity) {
  if (text == nullptr) return 0;
  int count = 0;
  while (count < capacity) {
    char* end = text;
    while (*end != '\0' && *end != separator) ++end;
    fields[count++] = text;
    if (*end == '\0') break;
    *end = '\0';
    text = end + 1;
  }
  return count;
}

char* TrimSpace(char* text) {
  if (text == nullptr) return nullptr;
  Platform& platform = Platform::Current();
  // Real code pages have no lead byte below 0x80, so a character whose first
  // byte is white space is always a single byte.
  char* start = text;
  while (*start != '\0' && IsCLocaleSpace(*start)) {
    start += CharacterSize(start, platform);
  }
  char* spaceRun = nullptr;
  for (char* p = start; *p != '\0'; p += CharacterSize(p, platform)) {
    if (!IsCLocaleSpace(*p)) {
      spaceRun = nullptr;
    } else if (spaceRun == nullptr) {
      spaceRun = p;
    }
  }
  if (spaceRun != nullptr) *spaceRun = '\0';
  return start;
}

}  // namespace corvane
