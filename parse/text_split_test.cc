#include "parse/text_split.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/show_bytes.h"
#include "platform/platform.h"
#include "tests/fake_platform.h"

namespace corvane {

namespace {

using namespace std::string_literals;

// A heap copy of `bytes` plus its terminator, sized exactly, so that the
// address sanitizer catches any read or write past the terminator.
std::unique_ptr<char[]> CopyText(const std::string& bytes) {
  std::unique_ptr<char[]> text(new char[bytes.size() + 1]);
  std::memcpy(text.get(), bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return text;
}

using test::ShowBytes;

// ---------------------------------------------------------------- ReadLine

struct ReadLineCase {
  std::string text;
  int size;
  std::vector<std::string> lines;  // What each call stores, in order.
};

TEST(ReadLineTest, SplitsTextIntoLines) {
  const ReadLineCase cases[] = {
      {"", 100, {}},
      {"abc", 100, {"abc"}},
      {"a\nb\n", 100, {"a\n", "b\n"}},
      {"a\r\nb", 100, {"a\n", "b"}},
      {"a\r\nb\r\n", 100, {"a\n", "b\n"}},
      {"a\rb\n", 100, {"a\n", "b\n"}},
      {"a\n\nb", 100, {"a\n", "\n", "b"}},
      {"\r\n", 100, {"\n"}},
      {"\n\r", 100, {"\n", "\n"}},
      {"\r\r\n", 100, {"\n", "\n"}},
      {"\r\n\r\n", 100, {"\n", "\n"}},
      {"\xff\x81\x40\n\x80", 100, {"\xff\x81\x40\n", "\x80"}},
      // A NUL ends the text, whatever follows it.
      {"ab\0cd"s, 100, {"ab"}},
      // Cut at size - 1 bytes; the rest comes with the next call.
      {"abcdef\n", 4, {"abc", "def", "\n"}},
      {"abc\n", 4, {"abc", "\n"}},
      {"ab\n", 4, {"ab\n"}},
      {"abcdefg", 4, {"abc", "def", "g"}},
      // A CR LF after a cut is still one line end.
      {"ab\r\ncd", 3, {"ab", "\n", "cd"}},
      {"a\r\nb", 2, {"a", "\n", "b"}},
      {"\r\n\r\n", 2, {"\n", "\n"}},
  };
  constexpr int kGuard = 4;
  for (const ReadLineCase& c : cases) {
    SCOPED_TRACE(ShowBytes(c.text) + " size " + std::to_string(c.size));
    std::unique_ptr<char[]> text = CopyText(c.text);
    const char* end = text.get() + std::strlen(text.get());
    const char* cursor = text.get();
    std::vector<std::string> lines;
    // One call more than the expected lines, to see the final 0.
    for (size_t call = 0; call <= c.lines.size(); ++call) {
      std::vector<char> buffer(c.size + kGuard, 'X');
      const char* before = cursor;
      int count = ReadLine(&cursor, buffer.data(), c.size);
      ASSERT_GE(count, 0);
      ASSERT_LT(count, c.size);
      for (int i = c.size; i < c.size + kGuard; ++i) {
        ASSERT_EQ('X', buffer[i]) << "written past the buffer at " << i;
      }
      if (count == 0) {
        // Check that the end of the text changes neither buffer nor cursor.
        EXPECT_EQ(std::vector<char>(c.size + kGuard, 'X'), buffer);
        EXPECT_EQ(before, cursor);
        break;
      }
      EXPECT_EQ('\0', buffer[count]);
      EXPECT_EQ(nullptr, std::memchr(buffer.data(), '\r', count));
      lines.emplace_back(buffer.data(), count);
    }
    EXPECT_EQ(c.lines, lines);
    EXPECT_EQ(end, cursor) << "cursor should rest on the terminator";
  }
}

TEST(ReadLineTest, SizeOneStoresOnlyTheTerminator) {
  std::unique_ptr<char[]> text = CopyText("ab\n");
  const char* cursor = text.get();
  for (int call = 0; call < 2; ++call) {
    char buffer[2] = {'X', 'X'};
    EXPECT_EQ(0, ReadLine(&cursor, buffer, 1));
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ('X', buffer[1]);
    EXPECT_EQ(text.get(), cursor);
  }
}

TEST(ReadLineTest, ReadsTheTextWithoutWritingIt) {
  const std::string original = "a\r\nb\rc\n";
  std::unique_ptr<char[]> text = CopyText(original);
  const char* cursor = text.get();
  char buffer[8];
  while (ReadLine(&cursor, buffer, sizeof buffer) != 0) {
  }
  EXPECT_EQ(original, text.get());
}

// ------------------------------------------------------------- IsSpaceChar

TEST(IsSpaceCharTest, KnowsTheFourHeaderSpaces) {
  for (int c = 0; c < 256; ++c) {
    int expected = c == '\t' || c == '\n' || c == '\r' || c == ' ' ? 1 : 0;
    EXPECT_EQ(expected, IsSpaceChar(c)) << "byte " << c;
  }
}

TEST(IsSpaceCharTest, LooksOnlyAtTheLowByte) {
  const struct {
    int c;
    int expected;
  } cases[] = {
      {0x120, 1},
      {0x109, 1},
      {0x7FFFFF0A, 1},
      {-224, 1},  // 0x...FF20
      {0x141, 0},
      {0x100, 0},
      {-1, 0},  // 0xFF
      {static_cast<char>('\xa0'), 0},
      {static_cast<char>('\x89'), 0},
      {'\v', 0},
      {'\f', 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, IsSpaceChar(c.c)) << "c = " << c.c;
  }
}

// ----------------------------------------------------------- NextParameter

// One call of NextParameter: what it yields and the text at the position it
// returns. A null name means the call returns null.
struct ParameterStep {
  const char* name;
  const char* value;
  const char* rest;
};

struct ParameterCase {
  std::string text;
  std::vector<ParameterStep> steps;
};

TEST(NextParameterTest, TakesParametersInTurn) {
  const ParameterStep kNone = {nullptr, nullptr, nullptr};
  const ParameterCase cases[] = {
      {" ; boundary=\"a b;c\" ; x=1",
       {{"boundary", "a b;c", "x=1"}, {"x", "1", ""}}},
      {"charset", {kNone}},
      {"", {kNone}},
      {";; \t\r\n", {kNone}},
      {"boundary=\"abc", {{"boundary", "abc", ""}}},
      {"boundary = x", {{"boundary ", "x", ""}}},
      {"a; b=1", {{"a; b", "1", ""}}},
      {"a=;", {{"a", "", ""}}},
      {"a=", {{"a", "", ""}}},
      {"a=\"\"", {{"a", "", ""}}},
      {"a=\"", {{"a", "", ""}}},
      {"=x", {{"", "x", ""}}},
      {"a=1;b=2", {{"a", "1", "b=2"}, {"b", "2", ""}}},
      {"a=1 b=2;", {{"a", "1", "b=2;"}, {"b", "2", ""}}},
      {"a=1\r\n\tb=2", {{"a", "1", "b=2"}, {"b", "2", ""}}},
      {"\t\r\n;a=\r\n 1", {{"a", "1", ""}}},
      // A ';' right after the '=' is not stepped over: the value is empty.
      {"a= ;b=1", {{"a", "", "b=1"}, {"b", "1", ""}}},
      {"a=b=c", {{"a", "b=c", ""}}},
      {"a=1; junk", {{"a", "1", "junk"}, kNone}},
      // A backslash escapes nothing.
      {"a=\"x\\\"y\"", {{"a", "x\\", "y\""}, kNone}},
      // Whatever follows a closing quote starts the next parameter.
      {"a=\"x\"y; b=1", {{"a", "x", "y; b=1"}, {"y; b", "1", ""}}},
      {"name=\"\x82\xa0 \x81\x40\"; \xe9=\xfc\xfc",
       {{"name", "\x82\xa0 \x81\x40", "\xe9=\xfc\xfc"},
        {"\xe9", "\xfc\xfc", ""}}},
  };
  for (const ParameterCase& c : cases) {
    SCOPED_TRACE(ShowBytes(c.text));
    std::unique_ptr<char[]> text = CopyText(c.text);
    char* end = text.get() + c.text.size();
    char* position = text.get();
    for (size_t i = 0; i < c.steps.size(); ++i) {
      SCOPED_TRACE("call " + std::to_string(i + 1));
      const ParameterStep& step = c.steps[i];
      const std::string before(position, end);
      char dummy = 0;
      char* name = &dummy;
      char* value = &dummy;
      char* next = NextParameter(position, &name, &value);
      if (step.name == nullptr) {
        // Check that a failed call clears both outputs and writes nothing.
        EXPECT_EQ(nullptr, next);
        EXPECT_EQ(nullptr, name);
        EXPECT_EQ(nullptr, value);
        EXPECT_EQ(before, std::string(position, end));
        break;
      }
      ASSERT_NE(nullptr, next);
      ASSERT_NE(nullptr, name);
      ASSERT_NE(nullptr, value);
      EXPECT_EQ(ShowBytes(step.name), ShowBytes(name));
      EXPECT_EQ(ShowBytes(step.value), ShowBytes(value));
      EXPECT_EQ(ShowBytes(step.rest), ShowBytes(next));
      EXPECT_TRUE(next >= position && next <= end);
      if (*step.rest == '\0') {
        EXPECT_EQ(end, next) << "should return the terminator";
      }
      position = next;
    }
  }
}

// ------------------------------------------------------------- SplitFields

struct SplitCase {
  std::string text;
  char separator;
  int capacity;
  std::vector<std::string> fields;
  std::string after;  // The text's bytes after the call.
};

TEST(SplitFieldsTest, CutsAtEverySeparator) {
  const SplitCase cases[] = {
      {"", ',', 4, {""}, ""},
      {"abc", ',', 4, {"abc"}, "abc"},
      {"a,,b", ',', 4, {"a", "", "b"}, "a\0\0b"s},
      {"a,", ',', 4, {"a", ""}, "a\0"s},
      {",,", ',', 8, {"", "", ""}, "\0\0"s},
      {"a b  c", ' ', 128, {"a", "b", "", "c"}, "a\0b\0\0c"s},
      {"x\x01y\x01", '\x01', 16, {"x", "y", ""}, "x\0y\0"s},
      {"\x81\xa5\xa5z", '\xa5', 4, {"\x81", "", "z"}, "\x81\0\0z"s},
      // Fields beyond the capacity belong to no field; the last stored one
      // is still cut at its separator.
      {"a.b.c", '.', 3, {"a", "b", "c"}, "a\0b\0c"s},
      {"a.b.c", '.', 2, {"a", "b"}, "a\0b\0c"s},
      {"a.b.c", '.', 1, {"a"}, "a\0b.c"s},
      {"a:b:c:d", ':', 3, {"a", "b", "c"}, "a\0b\0c\0d"s},
      {"a:b:", ':', 2, {"a", "b"}, "a\0b\0"s},
      // A capacity below 1 stores nothing and writes nothing.
      {"a.b.c", '.', 0, {}, "a.b.c"},
      {"a.b.c", '.', -1, {}, "a.b.c"},
      {"", '.', 0, {}, ""},
  };
  constexpr int kRoom = 8;
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(ShowBytes(c.text) + " at " + ShowBytes(std::string(1, c.separator)) +
                 " capacity " + std::to_string(c.capacity));
    std::unique_ptr<char[]> text = CopyText(c.text);
    char sentinel = 0;
    std::vector<char*> fields(kRoom, &sentinel);
    int count = SplitFields(text.get(), c.separator, fields.data(), c.capacity);
    ASSERT_EQ(static_cast<int>(c.fields.size()), count);
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(ShowBytes(c.fields[i]), ShowBytes(fields[i])) << "field " << i;
    }
    for (int i = count; i < kRoom; ++i) {
      EXPECT_EQ(&sentinel, fields[i]) << "field " << i << " was written";
    }
    EXPECT_EQ(ShowBytes(c.after), ShowBytes(std::string(text.get(), c.text.size())));
  }
}

TEST(SplitFieldsTest, NullTextGivesNoField) {
  char sentinel = 0;
  char* fields[2] = {&sentinel, &sentinel};
  EXPECT_EQ(0, SplitFields(nullptr, ',', fields, 2));
  EXPECT_EQ(&sentinel, fields[0]);
  EXPECT_EQ(&sentinel, fields[1]);
}

// --------------------------------------------------------------- TrimSpace

// The shared fake, whose lead bytes are those of code page 932, with a
// switch that takes them all away.
class LeadBytePlatform final : public test::FakePlatform {
 public:
  bool hasLeadBytes = true;

  bool IsLeadByte(unsigned char byte) override {
    return hasLeadBytes && FakePlatform::IsLeadByte(byte);
  }
};

struct TrimCase {
  std::string text;
  size_t start;       // Offset of the result in the text.
  std::string after;  // The text's bytes after the call.
};

// Puts the fake in place, so that the results do not depend on the code page
// of the machine that runs the tests.
class TrimSpaceTest : public testing::Test {
 protected:
  void SetUp() override { previous = Platform::Replace(&platform); }
  void TearDown() override { Platform::Replace(previous); }

  void CheckCases(const std::vector<TrimCase>& cases) {
    for (const TrimCase& c : cases) {
      SCOPED_TRACE(ShowBytes(c.text));
      std::unique_ptr<char[]> text = CopyText(c.text);
      char* result = TrimSpace(text.get());
      EXPECT_EQ(c.start, static_cast<size_t>(result - text.get()));
      EXPECT_EQ(ShowBytes(c.after), ShowBytes(std::string(text.get(), c.text.size())));
    }
  }

  LeadBytePlatform platform;
  Platform* previous = nullptr;
};

TEST_F(TrimSpaceTest, NullTextGivesNull) {
  EXPECT_EQ(nullptr, TrimSpace(nullptr));
}

TEST_F(TrimSpaceTest, TrimsCLocaleSpace) {
  platform.hasLeadBytes = false;
  CheckCases({
      {"", 0, ""},
      {"abc", 0, "abc"},
      {"  abc \r\n", 2, "  abc\0\r\n"s},
      {"   ", 3, "   "},
      {"\t\n\v\f\r x", 6, "\t\n\v\f\r x"},
      {"abc\t\v\f", 0, "abc\0\v\f"s},
      {"a b", 0, "a b"},
      {" a  b  ", 1, " a  b\0 "s},
      // Only the C locale's six are white space.
      {"\x1c\x1d\x1e\x1fx\x1c", 0, "\x1c\x1d\x1e\x1fx\x1c"},
      {"\x85x\x85", 0, "\x85x\x85"},
      {"\xa0x\xa0", 0, "\xa0x\xa0"},
      {"x \xff", 0, "x \xff"},
      // Without lead bytes, a blank after a high byte is white space.
      {"x\x81 ", 0, "x\x81\0"s},
      {"\x85 \x85 ", 0, "\x85 \x85\0"s},
      {" \x81", 1, " \x81"},
  });
}

TEST_F(TrimSpaceTest, StepsOverDoubleByteCharacters) {
  platform.hasLeadBytes = true;
  CheckCases({
      {"  abc \r\n", 2, "  abc\0\r\n"s},
      {"   ", 3, "   "},
      // A blank that is the trail byte of a lead byte is not white space.
      {"x\x81 ", 0, "x\x81 "},
      {"\x85 \x85 ", 0, "\x85 \x85 "},
      {"x\xfc\t", 0, "x\xfc\t"},
      {"x\x81  ", 0, "x\x81 \0"s},
      {"\x82\xa0 ", 0, "\x82\xa0\0"s},
      // 0xA0 and 0xFD are no lead bytes in code page 932.
      {"x\xa0 ", 0, "x\xa0\0"s},
      {"x\xfd ", 0, "x\xfd\0"s},
      // An ideographic space is a character, not white space.
      {"  \x81\x40  ", 2, "  \x81\x40\0 "s},
      // A lead byte before the terminator is one byte; stepping stops there.
      {"ab\x81", 0, "ab\x81"},
      {" \x81", 1, " \x81"},
      {"\x81", 0, "\x81"},
      {"\x81 x ", 0, "\x81 x\0"s},
  });
}

TEST_F(TrimSpaceTest, TakesLeadBytesFromTheCurrentPlatform) {
  // Check that the same bytes trim differently as the platform changes.
  std::unique_ptr<char[]> text = CopyText("x\x81 ");
  platform.hasLeadBytes = true;
  EXPECT_EQ(text.get(), TrimSpace(text.get()));
  EXPECT_EQ(3u, std::strlen(text.get()));
  platform.hasLeadBytes = false;
  EXPECT_EQ(text.get(), TrimSpace(text.get()));
  EXPECT_EQ(2u, std::strlen(text.get()));
}

}  // namespace

}  // namespace corvane
