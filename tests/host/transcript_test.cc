// The stand-in host's transcript shows the plug-in's trace writes readably
// and unambiguously: one line per write, labels decoded, ids untouched.

#include "tools/standin_host/transcript.h"

#include <string>

#include "gtest/gtest.h"

namespace corvane {
namespace standin {
namespace {

TEST(TranscriptTest, QuoteTextDecodesTheLabelsAndEscapesControlBytes) {
  const struct {
    std::string raw;
    std::string shown;
  } cases[] = {
      // The two trace labels, in code page 932 (as iconv makes them).
      {"\x83\x4a\x83\x8c\x83\x93\x83\x67\x83\x81\x81\x5b\x83\x8bID:",
       "\"カレントメールID:\""},
      {"\x8a\xf9\x93\xc7\x91\xce\x8f\xdb\x83\x81\x81\x5b\x83\x8bID:",
       "\"既読対象メールID:\""},
      // Another code page 932 text passes through raw.
      {"\x83\x81\x81\x5b\x83\x8b", "\"\x83\x81\x81\x5b\x83\x8b\""},
      // A label without its colon is no label.
      {"\x83\x81\x81\x5b\x83\x8bID", "\"\x83\x81\x81\x5b\x83\x8bID\""},
      {"Mailbox1\\news\\?1", "\"Mailbox1\\news\\?1\""},
      {"\n", "\"\\n\""},
      {std::string("a\0b\x1f\x7f\r\t", 7), "\"a\\x00b\\x1f\\x7f\\r\\t\""},
      {"", "\"\""},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(QuoteText(test.raw), test.shown) << test.raw;
  }
}

}  // namespace
}  // namespace standin
}  // namespace corvane
