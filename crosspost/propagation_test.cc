#include <string>
#include <vector>

#include "crosspost/crosspost_reader.h"
#include "crosspost/trace.h"
#include "gtest/gtest.h"
#include "tests/fake_host_api.h"
#include "tests/fake_platform.h"

namespace corvane {
namespace {

// Watches what propagation hands on, through the object.
class WatchedReader : public CrosspostReader {
 public:
  std::vector<std::string> newsFolders{"box\\news\\"};
  std::vector<std::string> steps;

  int IsNewsFolder(const char* folderId) override {
    steps.push_back(std::string("IsNewsFolder ") + folderId);
    for (const std::string& folder : newsFolders) {
      if (folder == folderId) return 1;
    }
    return 0;
  }
  int MarkCopyInGroup(const char* articleFolderId, char* group,
                      const char* messageId) override {
    steps.push_back(std::string("Mark ") + articleFolderId + " [" + group +
                    "] " + messageId);
    return 1;
  }
};

class PropagateReadTest : public ::testing::Test {
 protected:
  // Propagates mail `mailId` whose header text is `header`, and gives the
  // groups handed on, each as "[group] message-id".
  std::vector<std::string> GroupsHandedOn(const std::string& header,
                                          const char* mailId = "box\\news\\?1") {
    host.headers[mailId] = header;
    reader.steps.clear();
    reader.PropagateRead(mailId);
    std::vector<std::string> groups;
    std::string prefix = std::string("Mark ") + "box\\news\\ ";
    for (const std::string& step : reader.steps) {
      if (step.compare(0, prefix.size(), prefix) == 0) {
        groups.push_back(step.substr(prefix.size()));
      }
    }
    return groups;
  }

  test::FakePlatform platform;
  test::ScopedPlatform usingPlatform{&platform};
  test::FakeHost host;
  test::ScopedFakeHostApi usingHost{&host};
  WatchedReader reader;
};

TEST_F(PropagateReadTest, HandsOnEveryGroupAfterTheServer) {
  using Groups = std::vector<std::string>;
  std::string many = "Xref: srv";
  Groups first127;
  for (int i = 1; i <= 130; ++i) {
    many += " g" + std::to_string(i) + ":" + std::to_string(i);
    if (i <= 126) first127.push_back("[g" + std::to_string(i) + "] <m@x>");
  }
  // The 128th field ends at the 128th blank; the rest is in no field.
  first127.push_back("[g127] <m@x>");
  struct Case {
    std::string header;
    Groups groups;
  } cases[] = {
      {"Xref: srv a.b:12 c.d:34\r\nMessage-Id: <m@x>\r\n\r\n",
       {"[a.b] <m@x>", "[c.d] <m@x>"}},
      {"XREF: srv a.b:12\r\nMessage-ID: <m@x>\r\n\r\n", {"[a.b] <m@x>"}},
      {"Xref: srv a.b:1  c.d:2\r\nMessage-Id: <m@x>\r\n", {"[a.b] <m@x>", "[] <m@x>", "[c.d] <m@x>"}},
      {"Xref: srv \tplain\t\nMessage-Id: <m@x>\n", {"[plain] <m@x>"}},
      {"Xref: srv a.b:12 c.d:34\r\n", {"[a.b] ", "[c.d] "}},
      {"Xref: srv a.b:1 c.d:2\r\n\te.f:3\r\nMessage-Id: <m@x>\r\n\r\n",
       {"[a.b] <m@x>", "[c.d] <m@x>"}},
      {"Xref: srv\r\nMessage-Id: <m@x>\r\n", {}},
      {"Message-Id: <m@x>\r\n", {}},
      {"Xref-Foo: srv a.b:1\r\nXref : srv c.d:2\r\nMessage-Id: <m@x>\r\n", {}},
      {many + "\r\nMessage-Id: <m@x>\r\n", first127},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.groups, GroupsHandedOn(c.header)) << c.header;
  }
}

TEST_F(PropagateReadTest, TracesTheHostsCurrentMailBeforeHandingOn) {
  host.currentMail = "box\\news\\?7";
  GroupsHandedOn("Xref: srv a.b:1\r\n", "box\\news\\?1");
  EXPECT_EQ((std::vector<std::string>{kCurrentMailLabel, "box\\news\\?7", "\n"}),
            platform.debugWrites);
  EXPECT_EQ("IsNewsFolder box\\news\\", reader.steps.front());

  // No Xref: the line is still written, and nothing is handed on.
  platform.debugWrites.clear();
  EXPECT_TRUE(GroupsHandedOn("Subject: x\r\n\r\n").empty());
  EXPECT_EQ(3u, platform.debugWrites.size());
}

TEST_F(PropagateReadTest, StopsQuietlyWithoutHeaderOrOutsideNewsFolders) {
  reader.PropagateRead("box\\news\\?404");  // the host has no header text
  EXPECT_TRUE(reader.steps.empty());

  reader.newsFolders.clear();
  EXPECT_TRUE(GroupsHandedOn("Xref: srv a.b:1\r\n").empty());
  EXPECT_EQ((std::vector<std::string>{"IsNewsFolder box\\news\\"}), reader.steps);
  EXPECT_TRUE(platform.debugWrites.empty());
}

TEST_F(PropagateReadTest, FolderOfTheArticleIsItsMailIdUpToTheLastQuestionMark) {
  reader.newsFolders = {"a?b\\", "whole"};
  host.headers["a?b\\?1"] = "Xref: s g:1\r\n";
  reader.PropagateRead("a?b\\?1");
  EXPECT_EQ("Mark a?b\\ [g] ", reader.steps.back());
  host.headers["whole"] = "Xref: s g:1\r\n";
  reader.PropagateRead("whole");
  EXPECT_EQ("Mark whole [g] ", reader.steps.back());
}

TEST_F(PropagateReadTest, MailIdBeyondTheHostsBuffersIsNotPropagated) {
  std::string longId = "box\\news\\?" + std::string(250, '9');  // 260 bytes
  host.headers[longId] = "Xref: srv a.b:1\r\n";
  reader.PropagateRead(longId.c_str());
  EXPECT_TRUE(reader.steps.empty());
  EXPECT_TRUE(host.calls.empty());
  EXPECT_TRUE(platform.debugWrites.empty());
}

TEST_F(PropagateReadTest, LongHeaderValuesAreCutAt2047Bytes) {
  HeaderMap headers{{"Xref", ""}};
  host.headers["m"] = "Xref: " + std::string(5000, 'x') + "\r\n";
  EXPECT_EQ(1, reader.FetchHeaders("m", headers));
  EXPECT_EQ(std::string(2047, 'x'), headers["Xref"]);

  HeaderMap untouched{{"Xref", "kept"}};
  EXPECT_EQ(0, reader.FetchHeaders("none", untouched));
  EXPECT_EQ("kept", untouched["Xref"]);
}

}  // namespace
}  // namespace corvane
