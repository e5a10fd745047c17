// Whole sessions with the plug-in library, loaded into this program, which
// is the host: a data folder on disk with two mailboxes, articles opened in
// turn, and what the plug-in did in return, as the stand-in host's
// transcript shows it: the statuses it asked for, the headers it fetched,
// its trace lines and the copies it marked read.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/host/data_folder.h"
#include "tests/host_file_writer.h"
#include "tools/standin_host/host_settings.h"
#include "tools/standin_host/host_state.h"
#include "tools/standin_host/plugin_library.h"
#include "tools/standin_host/transcript.h"

namespace corvane {
namespace standin {
namespace {

constexpr char kServer[] = "news.example.net";

// Mailbox1 files fj.comp.misc into Chatter by an IFilter.def rule; every
// other group lives in the folder named after it. fj.test's folder has no
// news.ini.
constexpr char kMailbox1[] = "Mailbox1\\";
constexpr char kLangC[] = "Mailbox1\\fj\\comp\\lang\\c\\";
constexpr char kLangCpp[] = "Mailbox1\\fj\\comp\\lang\\cpp\\";
constexpr char kChatter[] = "Mailbox1\\Chatter\\";
constexpr char kMiscByName[] = "Mailbox1\\fj\\comp\\misc\\";
constexpr char kUnix[] = "Mailbox1\\fj\\os\\unix\\";
constexpr char kTest[] = "Mailbox1\\fj\\test\\";
// Mailbox2 has no rules.
constexpr char kMailbox2[] = "Mailbox2\\";
constexpr char kLangC2[] = "Mailbox2\\fj\\comp\\lang\\c\\";
constexpr char kLangCpp2[] = "Mailbox2\\fj\\comp\\lang\\cpp\\";
constexpr char kMisc2[] = "Mailbox2\\fj\\comp\\misc\\";

// The article numbers in Xref differ from the index keys on purpose: a copy's
// mail id must come from its folder's index.
constexpr char kCrosspostId[] = "<crosspost@example.net>";
constexpr char kCrosspostXref[] =
    "fj.comp.lang.c:501 fj.comp.lang.cpp:502 fj.comp.misc:503";
constexpr char kCrosspostInC[] = "Mailbox1\\fj\\comp\\lang\\c\\?1";
constexpr char kCrosspostInCpp[] = "Mailbox1\\fj\\comp\\lang\\cpp\\?11";
constexpr char kCrosspostInChatter[] = "Mailbox1\\Chatter\\?21";
constexpr char kCrosspostInMiscByName[] = "Mailbox1\\fj\\comp\\misc\\?31";
constexpr char kCrosspostInC2[] = "Mailbox2\\fj\\comp\\lang\\c\\?101";
constexpr char kCrosspostInCpp2[] = "Mailbox2\\fj\\comp\\lang\\cpp\\?111";
constexpr char kCrosspostInMisc2[] = "Mailbox2\\fj\\comp\\misc\\?121";

// Xref folded onto a second line, which names a group with a copy.
constexpr char kFoldedId[] = "<folded@example.net>";
constexpr char kFoldedXref[] =
    "fj.comp.lang.c:601 fj.os.unix:602\r\n\tfj.comp.lang.cpp:603";
constexpr char kFoldedInC[] = "Mailbox1\\fj\\comp\\lang\\c\\?2";
constexpr char kFoldedInUnix[] = "Mailbox1\\fj\\os\\unix\\?32";
constexpr char kFoldedInCpp[] = "Mailbox1\\fj\\comp\\lang\\cpp\\?12";

// Cross-posted to fj.comp.lang.cpp, whose index lacks it, and to fj.test,
// whose folder holds a copy but no news.ini.
constexpr char kGapsId[] = "<gaps@example.net>";
constexpr char kGapsXref[] =
    "fj.comp.lang.c:701 fj.comp.lang.cpp:702 fj.test:703 fj.os.unix:704";
constexpr char kGapsInC[] = "Mailbox1\\fj\\comp\\lang\\c\\?3";
constexpr char kGapsInTest[] = "Mailbox1\\fj\\test\\?43";
constexpr char kGapsInUnix[] = "Mailbox1\\fj\\os\\unix\\?33";
constexpr char kGapsInCpp[] = "Mailbox1\\fj\\comp\\lang\\cpp\\?13";

// A read article of Mailbox2's own.
constexpr char kOtherId[] = "<other@example.net>";
constexpr char kOtherXref[] = "fj.comp.lang.c:801";
constexpr char kOtherInC2[] = "Mailbox2\\fj\\comp\\lang\\c\\?100";

// What the plug-in did to the host: one transcript line per event, each
// ending in a line feed, so that a failure shows a diff of lines.
using Effects = std::string;

Effects Steps(std::initializer_list<Effects> parts) {
  Effects all;
  for (const Effects& part : parts) all += part;
  return all;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

Effects StatusAsked(const std::string& mailId, int answer) {
  return "BKA_GetStatus(" + Quoted(mailId) + ") -> " + std::to_string(answer) +
         "\n";
}

Effects HeaderAsked(const std::string& mailId) {
  return "BKA_GetHeader(" + Quoted(mailId) + ")\n";
}

// A trace line: its three writes, labels shown decoded, as the transcript
// shows them.
Effects Traced(const std::string& label, const std::string& value) {
  return "debug " + Quoted(label) + "\ndebug " + Quoted(value) +
         "\ndebug \"\\n\"\n";
}

// The propagation of a read article found in a news folder: its trace line
// names the host's current mail, then each copy gets a trace line and is
// marked read, in the order of the article's Xref.
Effects Propagated(const std::string& article, const std::string& currentMail,
                   const std::vector<const char*>& copies) {
  Effects effects =
      HeaderAsked(article) + Traced("カレントメールID:", currentMail);
  for (const char* copy : copies) {
    effects += Traced("既読対象メールID:", copy) + "BKA_SetStatus(" +
               Quoted(copy) + ", 1, 0)\n";
  }
  return effects;
}

// Owns the data folder and the host, which it sets up with Mailbox1 as the
// current mailbox and AlwaysRead absent, and the started plug-in. Keeps the
// user's AlwaysRead setting aside and puts it back afterwards: on Windows it
// lives in the real registry.
class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.Reset();
    host.SetDataFolder(data.HostPath());
    host.SetCurrentMailbox(kMailbox1);
    savedAlwaysRead = LoadAlwaysRead();
    ASSERT_TRUE(StoreAlwaysRead(std::nullopt));
    ASSERT_NO_FATAL_FAILURE(WriteMailboxes());

    std::string error;
    ASSERT_EQ(
        PluginLibrary::Load(LibraryBesideProgram("Corvane"), &plugin, &error),
        LoadResult::kLoaded)
        << error;
    ASSERT_EQ(plugin->OnStart(), 0);
  }

  void TearDown() override {
    if (plugin != nullptr) plugin->OnExit();
    plugin.reset();
    StoreAlwaysRead(savedAlwaysRead);
  }

  void WriteMailboxes() {
    data.AddRule(kMailbox1, "fj.comp.misc", kChatter);
    for (const char* folder :
         {kLangC, kLangCpp, kChatter, kMiscByName, kUnix}) {
      data.AddNewsFolder(folder);
    }
    data.AddMailFolder(kTest);
    for (const char* folder : {kLangC2, kLangCpp2, kMisc2}) {
      data.AddNewsFolder(folder, "\n");
    }

    for (const char* copy :
         {kCrosspostInC, kCrosspostInCpp, kCrosspostInChatter, kCrosspostInC2,
          kCrosspostInCpp2, kCrosspostInMisc2}) {
      AddArticle(copy, kCrosspostId, kCrosspostXref);
    }
    // Filed before the rule moved the group; the rule's folder counts now.
    AddArticle(kCrosspostInMiscByName, kCrosspostId, kCrosspostXref);
    for (const char* copy : {kFoldedInC, kFoldedInUnix, kFoldedInCpp}) {
      AddArticle(copy, kFoldedId, kFoldedXref);
    }
    for (const char* copy : {kGapsInC, kGapsInTest, kGapsInUnix}) {
      AddArticle(copy, kGapsId, kGapsXref);
    }
    AddArticle(kOtherInC2, kOtherId, kOtherXref, /*status=*/1);
  }

  // Files an unread (or `status`) article in its folder's index and gives
  // the host its header, with Xref after the server name.
  void AddArticle(const std::string& mailId, const char* messageId,
                  const char* xref, uint32_t status = 0) {
    size_t question = mailId.rfind('?');
    data.AddIndexRecord(mailId.substr(0, question), mailId.substr(question + 1),
                        messageId);
    AddArticleMail(mailId, messageId, xref, status);
  }

  // Gives the host the article's mail and header, filing it nowhere.
  void AddArticleMail(const std::string& mailId, const char* messageId,
                      const char* xref, uint32_t status = 0) {
    host.DefineMail(mailId, status,
                    std::string("From: poster@example.com\r\n"
                                "Subject: Reading a file line by line\r\n"
                                "Message-ID: ") +
                        messageId + "\r\nXref: " + kServer + " " + xref +
                        "\r\n\r\n");
  }

  // The user opens `mailId`, which the host makes its current mail before it
  // tells the plug-in. Returns what the plug-in did then.
  Effects Open(const char* mailId) {
    host.ClearJournal();
    host.SetCurrentMail(mailId);
    EXPECT_EQ(plugin->OnOpenMail(mailId), 0);
    Effects effects;
    for (const HostEvent& event : host.Journal()) {
      if (event.kind == HostEvent::Kind::kDebugWrite ||
          event.function == "BKA_GetStatus" ||
          event.function == "BKA_GetHeader" ||
          event.function == "BKA_SetStatus") {
        effects += DescribeEvent(event) + "\n";
      }
    }
    return effects;
  }

  // The host sets the read flag as the user reads the open mail.
  void UserReads(const char* mailId) {
    ASSERT_TRUE(host.MarkMailRead(mailId)) << mailId;
  }

  test::DataFolder data;
  HostState& host = TheHost();
  std::unique_ptr<PluginLibrary> plugin;
  std::optional<uint32_t> savedAlwaysRead;
};

TEST_F(SessionTest, AlwaysReadMarksTheCopiesOfEachArticleAsItOpens) {
  // Check that each unread article is propagated as it opens.
  ASSERT_TRUE(StoreAlwaysRead(1));
  const struct {
    const char* article;
    std::vector<const char*> copies;
  } cases[] = {
      // Its own folder is skipped, and fj.comp.misc's copy is the one in
      // the folder the rule names.
      {kCrosspostInC, {kCrosspostInCpp, kCrosspostInChatter}},
      // Only the groups on Xref's first line.
      {kFoldedInC, {kFoldedInUnix}},
      // Nothing in the index without the copy nor in the folder without
      // news.ini, and the group after them is still reached.
      {kGapsInC, {kGapsInUnix}},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(Open(test.article),
              Steps({StatusAsked(test.article, 0),
                     Propagated(test.article, test.article, test.copies)}))
        << test.article;
  }

  // Check that a copy, once marked, is left alone when the user opens it.
  EXPECT_EQ(Open(kCrosspostInCpp), StatusAsked(kCrosspostInCpp, 1));
}

TEST_F(SessionTest, AlwaysReadIsTakenAfreshAtEachUnreadMail) {
  // AlwaysRead is absent: the article waits.
  EXPECT_EQ(Open(kCrosspostInC), StatusAsked(kCrosspostInC, 0));
  UserReads(kCrosspostInC);

  // Check that the copy of the pending article, marked as the pending one
  // goes, is not propagated again although AlwaysRead is set by now.
  ASSERT_TRUE(StoreAlwaysRead(1));
  EXPECT_EQ(Open(kCrosspostInCpp),
            Steps({StatusAsked(kCrosspostInC, 1),
                   Propagated(kCrosspostInC, kCrosspostInCpp,
                              {kCrosspostInCpp, kCrosspostInChatter}),
                   StatusAsked(kCrosspostInCpp, 1)}));

  ASSERT_TRUE(StoreAlwaysRead(0));
  EXPECT_EQ(Open(kFoldedInC), StatusAsked(kFoldedInC, 0));
  UserReads(kFoldedInC);

  // Check that the read pending article goes first, then the opened one.
  ASSERT_TRUE(StoreAlwaysRead(1));
  EXPECT_EQ(Open(kGapsInC),
            Steps({StatusAsked(kFoldedInC, 1),
                   Propagated(kFoldedInC, kGapsInC, {kFoldedInUnix}),
                   StatusAsked(kGapsInC, 0),
                   Propagated(kGapsInC, kGapsInC, {kGapsInUnix})}));

  ASSERT_TRUE(StoreAlwaysRead(std::nullopt));
  EXPECT_EQ(Open(kFoldedInCpp), StatusAsked(kFoldedInCpp, 0));

  // Check that a pending article still unread is dropped, and that a mail
  // outside the news folders goes no further than its header.
  ASSERT_TRUE(StoreAlwaysRead(1));
  EXPECT_EQ(Open(kGapsInTest),
            Steps({StatusAsked(kFoldedInCpp, 0), StatusAsked(kGapsInTest, 0),
                   HeaderAsked(kGapsInTest)}));
}

TEST_F(SessionTest, CopiesAreFoundWhileTheHostHoldsItsFilesOpenForWriting) {
  ASSERT_TRUE(StoreAlwaysRead(1));
  // On Windows these handles write and share reading and writing, as the
  // host's do, so a plug-in whose own handle denied writers would be refused.
  test::HostFileWriter index((data.PathOf(kLangCpp) / "Folder.idx").string());
  test::HostFileWriter rules((data.PathOf(kMailbox1) / "IFilter.def").string());
  ASSERT_TRUE(index.IsOpen());
  ASSERT_TRUE(rules.IsOpen());

  EXPECT_EQ(Open(kCrosspostInC),
            Steps({StatusAsked(kCrosspostInC, 0),
                   Propagated(kCrosspostInC, kCrosspostInC,
                              {kCrosspostInCpp, kCrosspostInChatter})}));

  // Check that a copy the host files through its open handle is found.
  ASSERT_TRUE(
      index.Append(test::DataFolder::IndexRecord("13", kGapsId) + "\r\n"));
  AddArticleMail(kGapsInCpp, kGapsId, kGapsXref);
  EXPECT_EQ(Open(kGapsInC),
            Steps({StatusAsked(kGapsInC, 0),
                   Propagated(kGapsInC, kGapsInC, {kGapsInCpp, kGapsInUnix})}));
}

// The same host with AlwaysRead absent or 0: an opened unread article waits
// until the next mail opens.
class PendingSessionTest
    : public SessionTest,
      public ::testing::WithParamInterface<std::optional<uint32_t>> {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(StoreAlwaysRead(GetParam()));
  }
};

TEST_P(PendingSessionTest, PendingArticleIsPropagatedOnlyOnceItIsRead) {
  EXPECT_EQ(Open(kCrosspostInC), StatusAsked(kCrosspostInC, 0));

  // Check that the pending article, read by now, goes before the opened
  // mail's status is asked for, with the trace naming the opened mail.
  UserReads(kCrosspostInC);
  EXPECT_EQ(Open(kGapsInC),
            Steps({StatusAsked(kCrosspostInC, 1),
                   Propagated(kCrosspostInC, kGapsInC,
                              {kCrosspostInCpp, kCrosspostInChatter}),
                   StatusAsked(kGapsInC, 0)}));

  // Check that a pending article left unread is dropped.
  EXPECT_EQ(Open(kFoldedInC),
            Steps({StatusAsked(kGapsInC, 0), StatusAsked(kFoldedInC, 0)}));

  // Check that opening a read mail still propagates the read pending one,
  // and nothing for itself.
  UserReads(kFoldedInC);
  EXPECT_EQ(Open(kCrosspostInChatter),
            Steps({StatusAsked(kFoldedInC, 1),
                   Propagated(kFoldedInC, kCrosspostInChatter, {kFoldedInUnix}),
                   StatusAsked(kCrosspostInChatter, 1)}));

  // Check that nothing was left pending, not even the dropped article.
  EXPECT_EQ(Open(kGapsInC), StatusAsked(kGapsInC, 0));

  // Check that opening a read mail drops a pending article still unread,
  // and leaves nothing pending.
  EXPECT_EQ(Open(kCrosspostInC),
            Steps({StatusAsked(kGapsInC, 0), StatusAsked(kCrosspostInC, 1)}));
  EXPECT_EQ(Open(kFoldedInUnix), StatusAsked(kFoldedInUnix, 1));
}

TEST_P(PendingSessionTest, ArticleOpenedAgainOnceReadIsPropagatedOnce) {
  EXPECT_EQ(Open(kGapsInC), StatusAsked(kGapsInC, 0));
  UserReads(kGapsInC);
  EXPECT_EQ(Open(kGapsInC),
            Steps({StatusAsked(kGapsInC, 1),
                   Propagated(kGapsInC, kGapsInC, {kGapsInUnix}),
                   StatusAsked(kGapsInC, 1)}));
  EXPECT_EQ(Open(kGapsInC), StatusAsked(kGapsInC, 1));
}

TEST_P(PendingSessionTest, CopyOfThePendingArticleIsMarkedAndNotPropagated) {
  EXPECT_EQ(Open(kCrosspostInC), StatusAsked(kCrosspostInC, 0));
  UserReads(kCrosspostInC);
  EXPECT_EQ(Open(kCrosspostInCpp),
            Steps({StatusAsked(kCrosspostInC, 1),
                   Propagated(kCrosspostInC, kCrosspostInCpp,
                              {kCrosspostInCpp, kCrosspostInChatter}),
                   StatusAsked(kCrosspostInCpp, 1)}));

  // Check that the copy did not stay pending.
  EXPECT_EQ(Open(kCrosspostInChatter), StatusAsked(kCrosspostInChatter, 1));
}

TEST_P(PendingSessionTest, PendingArticleResolvesItsGroupsInTheNewMailbox) {
  // Propagate one article in Mailbox1 first, so that its rules are in use.
  EXPECT_EQ(Open(kFoldedInC), StatusAsked(kFoldedInC, 0));
  UserReads(kFoldedInC);
  EXPECT_EQ(Open(kCrosspostInC),
            Steps({StatusAsked(kFoldedInC, 1),
                   Propagated(kFoldedInC, kCrosspostInC, {kFoldedInUnix}),
                   StatusAsked(kCrosspostInC, 0)}));
  UserReads(kCrosspostInC);

  // Check that after the user changes mailboxes, every group of the pending
  // article resolves below Mailbox2 without Mailbox1's rule, its own group
  // included, since that is not the article's folder there.
  host.SetCurrentMailbox(kMailbox2);
  EXPECT_EQ(
      Open(kOtherInC2),
      Steps({StatusAsked(kCrosspostInC, 1),
             Propagated(kCrosspostInC, kOtherInC2,
                        {kCrosspostInC2, kCrosspostInCpp2, kCrosspostInMisc2}),
             StatusAsked(kOtherInC2, 1)}));
}

INSTANTIATE_TEST_SUITE_P(
    AlwaysReadAbsentOrZero, PendingSessionTest,
    ::testing::Values(std::nullopt, std::optional<uint32_t>(0)),
    [](const ::testing::TestParamInfo<std::optional<uint32_t>>& info) {
      return std::string(info.param ? "Zero" : "Absent");
    });

}  // namespace
}  // namespace standin
}  // namespace corvane
