#include "filter/rules_file_reader.h"

#include <cstdint>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/show_bytes.h"
#include "tests/fake_platform.h"

namespace corvane {

namespace {

using namespace std::string_literals;

constexpr char kPath[] = "C:\\Data\\Box\\IFilter.def";

using test::ShowBytes;

// Every line the reader hands over, with its bytes up to the count it
// returned, NULs included.
std::vector<std::string> ReadAllLines(RulesFileReader& reader, int size) {
  std::vector<std::string> lines;
  std::vector<char> line(size + 1, '#');
  int count;
  while ((count = reader.ReadLine(line.data(), size)) > 0) {
    EXPECT_LT(count, size);
    EXPECT_EQ('\0', line[count]);
    EXPECT_EQ('#', line[size]) << "wrote past the line buffer";
    lines.emplace_back(line.data(), count);
  }
  return lines;
}

struct ReadCase {
  std::string content;
  int size;
  std::vector<std::string> lines;
};

TEST(RulesFileReaderTest, ReadsLinesAsTextMode) {
  const std::string x510(510, 'x');
  const std::string x511(511, 'x');
  const std::string y88(88, 'y');
  const ReadCase cases[] = {
      {"", 512, {}},
      {"a\nb\n", 512, {"a\n", "b\n"}},
      {"a\nb", 512, {"a\n", "b"}},
      {"\n\n", 512, {"\n", "\n"}},
      {"a\r\nb\r\n", 512, {"a\n", "b\n"}},
      {"\r\n", 512, {"\n"}},
      // Only a CR LF pair is translated; a lone CR is an ordinary byte.
      {"a\rb\n", 512, {"a\rb\n"}},
      {"a\r\r\n", 512, {"a\r\n"}},
      {"a\r", 512, {"a\r"}},
      {"\n\r", 512, {"\n", "\r"}},
      // NUL and Ctrl-Z bytes are passed on; neither ends line or file.
      {"a\0b\n\0\n"s, 512, {"a\0b\n"s, "\0\n"s}},
      {"a\x1a\nb\n", 512, {"a\x1a\n", "b\n"}},
      // A long line arrives in pieces of size - 1 bytes: 600 bytes as 511
      // and 89.
      {x511 + y88 + "\n", 512, {x511, y88 + "\n"}},
      {x510 + "\n", 512, {x510 + "\n"}},
      {x510 + "\r\n", 512, {x510 + "\n"}},
      // A CR LF pair met where the line is full is one LF, on its own line.
      {x511 + "\r\n", 512, {x511, "\n"}},
      {"abc\r\nd", 4, {"abc", "\n", "d"}},
      {"ab\r\nd", 4, {"ab\n", "d"}},
      {"abc\rd", 4, {"abc", "\rd"}},
      {"abcdefg\n", 4, {"abc", "def", "g\n"}},
      {"ab", 2, {"a", "b"}},
  };
  // Block boundaries fall everywhere, CR LF pairs included, and must not
  // change the lines.
  const uint32_t blockSizes[] = {1, 2, 3, 7,
                                 RulesFileReader::kDefaultBlockSize};
  for (const ReadCase& c : cases) {
    for (uint32_t blockSize : blockSizes) {
      SCOPED_TRACE(ShowBytes(c.content) + " size " + std::to_string(c.size) +
                   " block " + std::to_string(blockSize));
      test::FakePlatform platform;
      test::ScopedPlatform scoped(&platform);
      platform.files[kPath] = {c.content, 1};
      {
        RulesFileReader reader(blockSize);
        ASSERT_TRUE(reader.Open(kPath));
        EXPECT_EQ(c.lines, ReadAllLines(reader, c.size));
        EXPECT_FALSE(reader.Failed());
        // The end stays the end.
        char line[8];
        EXPECT_EQ(0, reader.ReadLine(line, 8));
      }
      EXPECT_EQ(0, platform.openFileCount);
    }
  }
}

TEST(RulesFileReaderTest, MissingFileDoesNotOpen) {
  test::FakePlatform platform;
  test::ScopedPlatform scoped(&platform);
  RulesFileReader reader;
  EXPECT_FALSE(reader.Open(kPath));
}

// Reads fail from a chosen offset on, or claim more bytes than asked for.
class FaultyReadPlatform : public test::FakePlatform {
 public:
  uint64_t failFrom = UINT64_MAX;
  int64_t overstate = 0;

  int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                     uint32_t size) override {
    if (offset >= failFrom) return -1;
    int64_t got = FakePlatform::ReadFileAt(file, offset, buffer, size);
    return got > 0 ? got + overstate : got;
  }
};

TEST(RulesFileReaderTest, ReadErrorEndsReadingAsFailure) {
  struct FaultCase {
    uint64_t failFrom;
    int64_t overstate;
    std::vector<std::string> lines;  // handed over before the failure
  };
  const FaultCase cases[] = {
      {0, 0, {}},
      // The line in progress when the read fails is not handed over.
      {4, 0, {"ab\n"}},
      {UINT64_MAX, 1, {}},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE("fail from " + std::to_string(c.failFrom) + " overstate " +
                 std::to_string(c.overstate));
    FaultyReadPlatform platform;
    test::ScopedPlatform scoped(&platform);
    platform.failFrom = c.failFrom;
    platform.overstate = c.overstate;
    platform.files[kPath] = {"ab\ncd\nef\n", 1};
    {
      RulesFileReader reader(4);
      ASSERT_TRUE(reader.Open(kPath));
      EXPECT_EQ(c.lines, ReadAllLines(reader, 512));
      EXPECT_TRUE(reader.Failed());
    }
    EXPECT_EQ(0, platform.openFileCount);
  }
}

}  // namespace

}  // namespace corvane
