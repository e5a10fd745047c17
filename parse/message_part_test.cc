#include "parse/message_part.h"

#include <memory>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "parse/message_part_test_util.h"

namespace corvane {
namespace {

using test::Children;
using test::Lines;
using test::MaxDepth;
using test::ParsedText;
using Strings = std::vector<std::string>;

// `text` with each run of more than 8 equal bytes written as "<N x c>", so
// that failures show long lines in a few bytes.
std::string Squeeze(const std::string& text) {
  std::string squeezed;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t run = text.find_first_not_of(text[i], i);
    run = (run == std::string::npos ? text.size() : run) - i;
    if (run > 8) {
      squeezed += "<" + std::to_string(run) + " x " + text[i] + ">";
    } else {
      squeezed.append(run, text[i]);
    }
    i += run;
  }
  return squeezed;
}

Strings Squeezed(const Strings& lines) {
  Strings squeezed;
  for (const std::string& line : lines) squeezed.push_back(Squeeze(line));
  return squeezed;
}

std::string Shown(const std::string& text) {
  std::string squeezed = Squeeze(text);
  if (squeezed.size() > 300) squeezed = squeezed.substr(0, 300) + "...";
  return ::testing::PrintToString(squeezed);
}

std::string HeaderValue(const MessagePart& part, const char* name,
                        int size = 2048) {
  std::vector<char> buffer(size, '?');
  part.GetHeaderValue(name, buffer.data(), size);
  return buffer.data();
}

// ------------------------------------------------------------ Line reading

TEST(MessagePartTest, HeaderParsesTheSameWhateverItsLineEnds) {
  const std::string texts[] = {
      "Subject: a\r\nXref: s g1:1 g2:2\r\n\r\n",
      "Subject: a\nXref: s g1:1 g2:2\n\n",
      "Subject: a\rXref: s g1:1 g2:2\r\r",
      "Subject: a\rXref: s g1:1 g2:2\n\r\n",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(Shown(text));
    ParsedText parsed(text);
    EXPECT_EQ((Strings{"Subject: a\r\n", "Xref: s g1:1 g2:2\r\n", "\r\n"}),
              Lines(parsed.part.HeaderLines()));
    EXPECT_TRUE(Lines(parsed.part.BodyLines()).empty());
    EXPECT_EQ("s g1:1 g2:2\r\n", HeaderValue(parsed.part, "xref"));
    EXPECT_EQ(text.size(), parsed.stop);
  }
}

struct SectionCase {
  std::string text;
  Strings header;
  Strings body;
};

TEST(MessagePartTest, SplitsHeaderFromBody) {
  const SectionCase cases[] = {
      {"", {}, {}},
      // The last line needs no line end.
      {"Subject: a", {"Subject: a\r\n"}, {}},
      {"A: 1\n\nbody\nlast", {"A: 1\r\n", "\r\n"}, {"body\r\n", "last\r\n"}},
      // Folded fields are one entry each, keeping their line ends.
      {"Xref: s g1:1\r\n\tg2:2\r\n\r\n",
       {"Xref: s g1:1\r\n\tg2:2\r\n", "\r\n"},
       {}},
      {"A: 1\n b\n\tc\nD: 2\n", {"A: 1\r\n b\r\n\tc\r\n", "D: 2\r\n"}, {}},
      {" lead\n", {" lead\r\n"}, {}},
      // After the blank line nothing is joined.
      {"A: 1\n\n b\n", {"A: 1\r\n", "\r\n"}, {" b\r\n"}},
      {"no colon\n\n", {"no colon\r\n", "\r\n"}, {}},
      // Without a blank line all is header, delimiter lines included.
      {"Content-Type: multipart/mixed; boundary=b\r\n--b\r\nA: 1\r\n--b--\r\n",
       {"Content-Type: multipart/mixed; boundary=b\r\n", "--b\r\n", "A: 1\r\n",
        "--b--\r\n"},
       {}},
      // Without a boundary, delimiter-like lines are body lines.
      {"A: 1\n\n--b\n--b--\n", {"A: 1\r\n", "\r\n"}, {"--b\r\n", "--b--\r\n"}},
  };
  for (const SectionCase& c : cases) {
    SCOPED_TRACE(Shown(c.text));
    ParsedText parsed(c.text);
    EXPECT_EQ(c.header, Lines(parsed.part.HeaderLines()));
    EXPECT_EQ(c.body, Lines(parsed.part.BodyLines()));
    EXPECT_TRUE(Lines(parsed.part.TrailerLines()).empty());
    EXPECT_EQ(nullptr, parsed.part.FirstChild());
    EXPECT_EQ(c.text.size(), parsed.stop);
  }
}

TEST(MessagePartTest, LongLinesLoseNoByte) {
  const std::string a65535(65535, 'a');
  // "X: " and the a's make a first line that fills all but `room` bytes
  // of the 65536 that one entry can join.
  auto firstLine = [](int room) {
    return "X: " + std::string(65536 - room - 2 - 3, 'a') + "\r\n";
  };
  const SectionCase cases[] = {
      // A line of exactly the bound keeps its line end: no empty line
      // appears to end the header early.
      {a65535 + "\r\nXref: x\r\n\r\n",
       {a65535 + "\r\n", "Xref: x\r\n", "\r\n"},
       {}},
      {a65535 + "\nXref: x\n\n", {a65535 + "\r\n", "Xref: x\r\n", "\r\n"}, {}},
      // A longer line comes in pieces.
      {a65535 + "bc\r\n\r\n", {a65535 + "\r\n", "bc\r\n", "\r\n"}, {}},
      {"A: 1\r\n\r\n" + a65535 + "b\r\n",
       {"A: 1\r\n", "\r\n"},
       {a65535 + "\r\n", "b\r\n"}},
      // A continuation line that meets a full join buffer is a header line
      // of its own.
      {firstLine(1) + " tail\r\n\r\n", {firstLine(1), " tail\r\n", "\r\n"}, {}},
      // With two bytes of room, one byte of it is joined.
      {firstLine(2) + " tail\r\n\r\n",
       {firstLine(2) + " \r\n", "tail\r\n", "\r\n"},
       {}},
  };
  for (const SectionCase& c : cases) {
    SCOPED_TRACE(Shown(c.text));
    ParsedText parsed(c.text);
    EXPECT_EQ(Squeezed(c.header), Squeezed(Lines(parsed.part.HeaderLines())));
    EXPECT_EQ(Squeezed(c.body), Squeezed(Lines(parsed.part.BodyLines())));
  }
}

// ------------------------------------------------------------ Header lookup

struct LookupCase {
  std::string text;
  const char* name;
  int size;
  std::string value;
};

TEST(MessagePartTest, GetHeaderValueFindsTheFirstFieldOfThatName) {
  const std::string long5000(5000, 'v');
  const LookupCase cases[] = {
      {"Subject: a\r\nXref: s g1:1\r\n\tg2:2\r\n\r\n", "Xref", 2048,
       "s g1:1\r\n\tg2:2\r\n"},
      {"xREF: v\r\n", "Xref", 2048, "v\r\n"},
      {"Message-ID: <a@b>\r\n\r\n", "Message-Id", 2048, "<a@b>\r\n"},
      {"Xref: first\r\nXref: second\r\n\r\n", "Xref", 2048, "first\r\n"},
      // Name and colon must meet.
      {"Xref-Foo: a\r\nXref : b\r\n\r\n", "Xref", 2048, ""},
      {"Xre: a\r\nX: b\r\n", "Xref", 2048, ""},
      // White space after the colon is stepped over, line ends included.
      {"Xref: \t \r\n\r\n", "Xref", 2048, ""},
      {"Xref:\r\n\tg1:1\r\n", "Xref", 2048, "g1:1\r\n"},
      {"Subject: a\r\n\r\n", "Xref", 2048, ""},
      {"", "Xref", 2048, ""},
      // Only the header is searched.
      {"A: 1\r\n\r\nXref: x\r\n", "Xref", 2048, ""},
      // Only ASCII letters are folded.
      {"X\xC4: v\r\n", "X\xE4", 2048, ""},
      {"X\xC4: v\r\n", "X\xC4", 2048, "v\r\n"},
      // The buffer's size cuts the value, its line ends too.
      {"Xref: " + long5000 + "\r\n", "Xref", 2048, long5000.substr(0, 2047)},
      {"Xref: abcdef\r\n", "Xref", 9, "abcdef\r\n"},
      {"Xref: abcdef\r\n", "Xref", 8, "abcdef\r"},
      {"Xref: abcdef\r\n", "Xref", 4, "abc"},
      {"Xref: abcdef\r\n", "Xref", 1, ""},
  };
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(Shown(c.text) + " " + c.name + " size " +
                 std::to_string(c.size));
    ParsedText parsed(c.text);
    // Guard bytes after the buffer show a write past its size.
    std::vector<char> buffer(c.size + 8, '?');
    parsed.part.GetHeaderValue(c.name, buffer.data(), c.size);
    EXPECT_EQ(c.value, buffer.data());
    EXPECT_EQ(std::string(8, '?'), std::string(buffer.data() + c.size, 8));
  }
}

// ------------------------------------------------------------ Content-Type

struct ContentTypeCase {
  std::string text;
  const char* type;
  const char* subtype;
  const char* boundary;  // Null for none.
};

TEST(MessagePartTest, ContentTypeGivesTypeSubtypeAndBoundary) {
  const std::string t45(45, 't');
  const std::string s45(45, 's');
  const ContentTypeCase cases[] = {
      {"Content-Type: text/plain; charset=x\r\n\r\n", "text", "plain", nullptr},
      {"Content-Type: text\r\n\r\n", "", "", nullptr},
      {"Content-Type: \r\n\r\n", "", "", nullptr},
      {"content-type: Multipart/Mixed; BOUNDARY=q\r\n\r\n", "Multipart",
       "Mixed", "q"},
      {"Content-Type:multipart/mixed;boundary=z\r\n\r\n", "multipart", "mixed",
       "z"},
      {"Content-Type: multipart/mixed; boundary=\"a b;c\"\r\n\r\n", "multipart",
       "mixed", "a b;c"},
      {"Content-Type: multipart/mixed;\r\n\tboundary=\"=_x\"\r\n\r\n",
       "multipart", "mixed", "=_x"},
      {"Content-Type: multipart/mixed; boundary=\r\n\r\n", "multipart", "mixed",
       ""},
      // Parameter names are not trimmed: this one is "foo; boundary".
      {"Content-Type: multipart/mixed; foo; boundary=q\r\n\r\n", "multipart",
       "mixed", nullptr},
      {"Content-Type: multipart/mixed; boundary =q\r\n\r\n", "multipart",
       "mixed", nullptr},
      // An unclosed quote takes the line end into the boundary.
      {"Content-Type: multipart/mixed; boundary=\"q\r\n\r\n", "multipart",
       "mixed", "q\r\n"},
      {"Content-Type: " + t45 + "/" + s45 + "\r\n\r\n",
       "tttttttttttttttttttttttttttttttttttttttt",
       "ssssssssssssssssssssssssssssssssssssssss", nullptr},
      // The last boundary wins, of the last complete header.
      {"Content-Type: multipart/mixed; boundary=a; boundary=b\r\n\r\n",
       "multipart", "mixed", "b"},
      {"Content-Type: multipart/mixed; boundary=a\r\n"
       "Content-Type: text/plain\r\n\r\n",
       "text", "plain", "a"},
      {"Content-Type: multipart/mixed; boundary=a\r\n"
       "Content-Type: text\r\n\r\n",
       "multipart", "mixed", "a"},
      // Neither another field nor the body is taken.
      {"Content-Typo: text/plain\r\n\r\n", "", "", nullptr},
      {"Subject: a\r\n\r\nContent-Type: text/plain\r\n", "", "", nullptr},
  };
  for (const ContentTypeCase& c : cases) {
    SCOPED_TRACE(Shown(c.text));
    ParsedText parsed(c.text);
    const MessagePart& part = parsed.part;
    EXPECT_STREQ(c.type, part.Type());
    EXPECT_STREQ(c.subtype, part.Subtype());
    if (c.boundary == nullptr) {
      EXPECT_EQ(nullptr, part.Boundary());
    } else {
      EXPECT_STREQ(c.boundary, part.Boundary());
    }
    // Taking the value apart leaves the stored fields whole.
    std::string stored;
    for (const std::string& line : Lines(part.HeaderLines())) stored += line;
    EXPECT_EQ(c.text.substr(0, stored.size()), stored);
  }
}

// ------------------------------------------------------------ Multipart

TEST(MessagePartTest, MultipartGivesOneSubPartPerDelimiter) {
  const std::string tail =
      "\r\n"
      "pre\r\n"
      "--b1\r\n"
      "A: 1\r\n"
      "Xref: inner\r\n"
      "\r\n"
      "x\r\n"
      "--b1\r\n"
      "\r\n"
      "y\r\n"
      "--b1--\r\n"
      "post\r\n";
  const std::string texts[] = {
      "Content-Type: multipart/mixed; boundary=b1\r\n" + tail,
      "Content-Type: multipart/mixed; boundary=\"b1\"\r\n" + tail,
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(Shown(text));
    ParsedText parsed(text);
    const MessagePart& top = parsed.part;
    EXPECT_STREQ("multipart", top.Type());
    EXPECT_STREQ("mixed", top.Subtype());
    EXPECT_STREQ("b1", top.Boundary());
    EXPECT_EQ(Strings{"pre\r\n"}, Lines(top.BodyLines()));

    std::vector<const MessagePart*> parts = Children(top);
    ASSERT_EQ(2u, parts.size());
    EXPECT_EQ((Strings{"A: 1\r\n", "Xref: inner\r\n", "\r\n"}),
              Lines(parts[0]->HeaderLines()));
    EXPECT_EQ(Strings{"x\r\n"}, Lines(parts[0]->BodyLines()));
    EXPECT_EQ(Strings{"\r\n"}, Lines(parts[1]->HeaderLines()));
    EXPECT_EQ(Strings{"y\r\n"}, Lines(parts[1]->BodyLines()));
    for (const MessagePart* part : parts) {
      EXPECT_TRUE(Lines(part->TrailerLines()).empty());
      EXPECT_EQ(nullptr, part->FirstChild());
    }

    // Check that a lookup stays in its own part.
    EXPECT_EQ("", HeaderValue(top, "Xref"));
    EXPECT_EQ("inner\r\n", HeaderValue(*parts[0], "Xref"));

    // Check that what follows the closing delimiter is not read.
    EXPECT_EQ(text.find("post"), parsed.stop);
  }
}

TEST(MessagePartTest, NestedMultipartEndsAtItsParentsDelimiter) {
  const std::string text =
      "Content-Type: multipart/mixed; boundary=b1\r\n"
      "\r\n"
      "--b1\r\n"
      "Content-Type: multipart/alternative; boundary=b2\r\n"
      "\r\n"
      "--b2\r\n"
      "\r\n"
      "z\r\n"
      "--b2--\r\n"
      "epi\r\n"
      "--b1--\r\n"
      "after\r\n";
  ParsedText parsed(text);
  std::vector<const MessagePart*> parts = Children(parsed.part);
  ASSERT_EQ(1u, parts.size());
  const MessagePart& inner = *parts[0];
  EXPECT_STREQ("alternative", inner.Subtype());
  EXPECT_STREQ("b2", inner.Boundary());
  EXPECT_TRUE(Lines(inner.BodyLines()).empty());
  EXPECT_EQ(Strings{"epi\r\n"}, Lines(inner.TrailerLines()));

  std::vector<const MessagePart*> innerParts = Children(inner);
  ASSERT_EQ(1u, innerParts.size());
  EXPECT_EQ(Strings{"\r\n"}, Lines(innerParts[0]->HeaderLines()));
  EXPECT_EQ(Strings{"z\r\n"}, Lines(innerParts[0]->BodyLines()));
  EXPECT_TRUE(Lines(innerParts[0]->TrailerLines()).empty());

  EXPECT_TRUE(Lines(parsed.part.BodyLines()).empty());
  EXPECT_EQ(text.find("after"), parsed.stop);
}

TEST(MessagePartTest, DelimiterWithTrailingTextIsABodyLine) {
  const std::string text =
      "Content-Type: multipart/mixed; boundary=b1\r\n"
      "\r\n"
      "--b1 \r\n"
      "--b1x\r\n"
      "--b1\r\n"
      "\r\n"
      "in\r\n"
      // The sub-part stops here: the line begins with "--b1"...
      "--b1 \r\n"
      // ...and its parent, for which it is no delimiter, goes on with it.
      "--b1x\r\n"
      "after\r\n"
      "--b1--\r\n";
  ParsedText parsed(text);
  EXPECT_EQ((Strings{"--b1 \r\n", "--b1x\r\n", "--b1 \r\n", "--b1x\r\n",
                     "after\r\n"}),
            Lines(parsed.part.BodyLines()));
  std::vector<const MessagePart*> parts = Children(parsed.part);
  ASSERT_EQ(1u, parts.size());
  EXPECT_EQ(Strings{"in\r\n"}, Lines(parts[0]->BodyLines()));
  EXPECT_EQ(text.size(), parsed.stop);
}

struct EndBoundaryCase {
  std::string text;
  std::string rest;  // Where the cursor is left.
  Strings body;
  Strings trailer;
};

TEST(MessagePartTest, PartEndsBeforeTheEnclosingDelimiter) {
  const EndBoundaryCase cases[] = {
      {"A: 1\r\n\r\nbody\r\n--out\r\nrest\r\n",
       "--out\r\nrest\r\n",
       {"body\r\n"},
       {}},
      {"A: 1\r\n\r\nbody\r\n--out--\r\n", "--out--\r\n", {"body\r\n"}, {}},
      {"A: 1\r\n\r\n--outer\r\n", "--outer\r\n", {}, {}},
      {"A: 1\r\n\r\n-- out\r\n--ou\r\n", "", {"-- out\r\n", "--ou\r\n"}, {}},
      // The header state knows no delimiter.
      {"--out\r\n\r\n--out\r\n", "--out\r\n", {}, {}},
      // After its own closing delimiter a part keeps the lines up to the
      // enclosing delimiter as its trailer.
      {"Content-Type: m/m; boundary=in\r\n\r\n--in\r\n\r\nx\r\n--in--\r\n"
       "epi\r\n--in\r\n--out--\r\nrest\r\n",
       "--out--\r\nrest\r\n",
       {},
       {"epi\r\n", "--in\r\n"}},
      {"Content-Type: m/m; boundary=in\r\n\r\n--in--\r\nepi\r\n",
       "",
       {},
       {"epi\r\n"}},
  };
  for (const EndBoundaryCase& c : cases) {
    SCOPED_TRACE(Shown(c.text));
    ParsedText parsed(c.text, "out");
    EXPECT_EQ(c.rest, c.text.substr(parsed.stop));
    EXPECT_EQ(c.body, Lines(parsed.part.BodyLines()));
    EXPECT_EQ(c.trailer, Lines(parsed.part.TrailerLines()));
  }
}

// ------------------------------------------------------------ Limits

// `levels` multiparts, each the only sub-part of the one before, each with a
// boundary of its own, and "leaf" at the bottom.
std::string NestedText(int levels) {
  std::string text;
  for (int level = 1; level <= levels; ++level) {
    const std::string boundary = "b" + std::to_string(level) + ".";
    text += "Content-Type: multipart/mixed; boundary=" + boundary +
            "\r\n\r\n--" + boundary + "\r\n";
  }
  return text + "\r\nleaf\r\n";
}

TEST(MessagePartTest, PartAtTheDepthLimitOpensNoSubParts) {
  constexpr int kLimit = MessagePart::kMaxDepth;
  const std::string text = NestedText(kLimit + 2) + "--b64.--\r\n";
  ParsedText parsed(text);
  EXPECT_EQ(kLimit, MaxDepth(parsed.part));

  const MessagePart* deepest = &parsed.part;
  while (deepest->FirstChild() != nullptr) deepest = deepest->FirstChild();
  EXPECT_STREQ("b64.", deepest->Boundary());
  // Its own delimiter lines, and all that follows, are its body.
  Strings body = Lines(deepest->BodyLines());
  ASSERT_EQ(10u, body.size());
  EXPECT_EQ("--b64.\r\n", body[0]);
  EXPECT_EQ("--b65.\r\n", body[3]);
  EXPECT_EQ("leaf\r\n", body[8]);
  EXPECT_EQ("--b64.--\r\n", body[9]);

  // Check that the level above still works as a multipart.
  const MessagePart* above = &parsed.part;
  for (int level = 1; level < kLimit - 1; ++level) above = above->FirstChild();
  EXPECT_EQ(deepest, above->FirstChild());
  EXPECT_EQ(nullptr, deepest->NextSibling());
}

TEST(MessagePartTest, ManySiblingsAreLinkedAndReleasedWithoutRecursion) {
  // More than a release that recursed along the chain could take on an
  // 8 MB stack; the host's 1 MB stack would fail at a tenth of them.
  constexpr int kSiblings = 300000;
  std::string text = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
  for (int i = 0; i < kSiblings; ++i) text += "--b\r\n\r\n";
  text += "--b--\r\n";
  auto parsed = std::make_unique<ParsedText>(text);
  EXPECT_EQ(static_cast<std::size_t>(kSiblings), Children(parsed->part).size());
  EXPECT_EQ(text.size(), parsed->stop);
  parsed.reset();
}

}  // namespace
}  // namespace corvane
