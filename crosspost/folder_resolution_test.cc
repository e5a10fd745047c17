#include <string>
#include <vector>

#include "crosspost/crosspost_reader.h"
#include "gtest/gtest.h"
#include "tests/fake_host_api.h"
#include "tests/fake_platform.h"

namespace corvane {
namespace {

// Watches the steps after resolution through the object; the news folders
// and the copies are whatever the test says.
class WatchedReader : public CrosspostReader {
 public:
  std::vector<std::string> newsFolders;
  std::string copy = "copy?9";
  std::vector<std::string> steps;

  int IsNewsFolder(const char* folderId) override {
    steps.push_back(std::string("IsNewsFolder ") + folderId);
    for (const std::string& folder : newsFolders) {
      if (folder == folderId) return 1;
    }
    return 0;
  }
  std::string FindMailByMessageId(const char* folderId,
                                  const char* messageId) override {
    steps.push_back(std::string("Find ") + folderId + " " + messageId);
    return copy;
  }
  int MarkRead(const char* mailId) override {
    steps.push_back(std::string("MarkRead ") + mailId);
    return *mailId != '\0' ? 1 : 0;
  }
};

class MarkCopyInGroupTest : public ::testing::Test {
 protected:
  int Mark(const char* articleFolder, std::string group) {
    reader.steps.clear();
    return reader.MarkCopyInGroup(articleFolder, &group[0], "<m@x>");
  }

  test::FakePlatform platform;
  test::ScopedPlatform usingPlatform{&platform};
  test::FakeHost host;
  test::ScopedFakeHostApi usingHost{&host};
  WatchedReader reader;
};

TEST_F(MarkCopyInGroupTest, ResolvesDottedGroupBelowTheCurrentMailbox) {
  struct Case {
    const char* group;
    const char* target;
  } cases[] = {
      {"a.b.c", "box\\a\\b\\c\\"},
      {"single", "box\\single\\"},
      {"", "box\\\\"},
      {"a..b", "box\\a\\\\b\\"},
  };
  for (const Case& c : cases) {
    reader.newsFolders = {c.target};
    EXPECT_EQ(1, Mark("box\\own\\", c.group)) << c.group;
    std::string target = c.target;
    EXPECT_EQ((std::vector<std::string>{"IsNewsFolder " + target,
                                        "Find " + target + " <m@x>",
                                        "MarkRead copy?9"}),
              reader.steps)
        << c.group;
  }
}

TEST_F(MarkCopyInGroupTest, UsesOnlyTheFirst64PartsOfAGroup) {
  std::string group;
  std::string target = "box\\";
  for (int i = 0; i < 70; ++i) {
    std::string part(1, static_cast<char>('a' + i % 26));
    group += (i ? "." : "") + part;
    if (i < 64) target += part + "\\";
  }
  reader.newsFolders = {target};
  EXPECT_EQ(1, Mark("box\\own\\", group));
  EXPECT_EQ("IsNewsFolder " + target, reader.steps.at(0));
}

TEST_F(MarkCopyInGroupTest, SkipsTheArticlesOwnFolderWhateverItsLetterCase) {
  reader.newsFolders = {"box\\a\\b\\"};
  EXPECT_EQ(0, Mark("BOX\\A\\b\\", "a.b"));
  EXPECT_TRUE(reader.steps.empty());
  // Only A-Z fold: other bytes must match as they are.
  EXPECT_EQ(0, Mark("box\\\xC0\\", "\xE0"));
  EXPECT_EQ("IsNewsFolder box\\\xE0\\", reader.steps.at(0));
}

TEST_F(MarkCopyInGroupTest, StopsAtAFolderThatIsNotANewsFolder) {
  EXPECT_EQ(0, Mark("box\\own\\", "a.b"));
  EXPECT_EQ((std::vector<std::string>{"IsNewsFolder box\\a\\b\\"}), reader.steps);
}

TEST_F(MarkCopyInGroupTest, NoCopyMarksNothing) {
  reader.newsFolders = {"box\\a\\"};
  reader.copy = "";
  EXPECT_EQ(0, Mark("box\\own\\", "a"));
  EXPECT_EQ("MarkRead ", reader.steps.back());
}

TEST_F(MarkCopyInGroupTest, PathsBeyondTheHostsBuffersAreSkipped) {
  host.mailbox = std::string(255, 'm') + "\\";
  EXPECT_EQ(0, Mark("box\\own\\", "ab.cd"));  // 256 + 6 bytes
  EXPECT_TRUE(reader.steps.empty());
  host.mailbox = std::string(259, 'm') + "\\";
  EXPECT_EQ(0, Mark("box\\own\\", "a"));
  EXPECT_TRUE(reader.steps.empty());

  host.mailbox = std::string(255, 'm') + "\\";
  reader.newsFolders = {host.mailbox + "ab\\"};
  EXPECT_EQ(1, Mark("box\\own\\", "ab")) << "259 bytes still fit";
}

TEST_F(MarkCopyInGroupTest, MakesOneRuleSetPerMailboxIdAtItsFirstGroup) {
  reader.newsFolders = {};
  Mark("box\\own\\", "a");
  Mark("box\\own\\", "b");
  EXPECT_EQ(1u, host.CallsStartingWith("GetDataFolder").size());
  host.mailbox = "BOX\\";
  Mark("box\\own\\", "a");
  EXPECT_EQ(2u, host.CallsStartingWith("GetDataFolder").size())
      << "mailbox ids differing in case are different mailboxes";
  EXPECT_EQ(3u, host.CallsStartingWith("GetCurrentMailBox").size());
}

TEST_F(MarkCopyInGroupTest, RulesOfTheMailboxNameTheFolder) {
  platform.files["data\\box\\IFilter.def"] = {
      ":Begin\r\n@0:X-Gazzet-To:fj.test\t\r\n!M:box\\moved\\\r\n:End\r\n", 1};
  reader.newsFolders = {"box\\moved\\"};
  EXPECT_EQ(1, Mark("box\\own\\", "fj.test"));
  EXPECT_EQ("IsNewsFolder box\\moved\\", reader.steps.at(0));
  // Another mailbox, current since the article was read, has no such rule.
  host.mailbox = "other\\";
  reader.newsFolders = {"other\\fj\\test\\"};
  EXPECT_EQ(1, Mark("box\\own\\", "fj.test"));
  EXPECT_EQ("IsNewsFolder other\\fj\\test\\", reader.steps.at(0));
}

}  // namespace
}  // namespace corvane
