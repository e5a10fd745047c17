// The plug-in library as the host meets it: loaded into this program, which
// links the stand-in host's parts and so is the host the plug-in binds to.
// Every check looks at what crosses the boundary: the bytes of the host's
// record and the calls the plug-in makes to the host.

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tools/standin_host/host_settings.h"
#include "tools/standin_host/host_state.h"
#include "tools/standin_host/plugin_library.h"

namespace corvane {
namespace standin {
namespace {

constexpr char kDescription[] =
    "It would be automatic and the mail by which crossposting was carried "
    "out would be read.";
static_assert(sizeof kDescription == 88, "87 characters and the terminator");

constexpr char kFirstMail[] = "Mailbox1\\example\\lang\\c\\?1";
constexpr char kSecondMail[] = "Mailbox1\\example\\lang\\c\\?2";
constexpr char kThirdMail[] = "Mailbox1\\example\\lang\\c\\?3";

// Sets up the host, keeps the user's AlwaysRead setting aside and puts it
// back afterwards: on Windows it lives in the real registry.
class PluginShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.Reset();
    savedAlwaysRead = LoadAlwaysRead();
    ASSERT_TRUE(StoreAlwaysRead(0));
  }

  void TearDown() override {
    // Unloading leaves the controller alone, as the host's exit does not;
    // end the plug-in first so that nothing outlives the test.
    if (plugin != nullptr) plugin->OnExit();
    plugin.reset();
    StoreAlwaysRead(savedAlwaysRead);
  }

  // Loads the library `baseName` from beside this program.
  void Load(const char* baseName) {
    plugin.reset();
    std::string error;
    ASSERT_EQ(
        PluginLibrary::Load(LibraryBesideProgram(baseName), &plugin, &error),
        LoadResult::kLoaded)
        << baseName << ": " << error;
  }

  // The host functions called since the journal was last cleared.
  std::vector<std::string> HostCalls() const {
    std::vector<std::string> calls;
    for (const HostEvent& event : host.Journal()) {
      if (event.kind == HostEvent::Kind::kCall) calls.push_back(event.function);
    }
    return calls;
  }

  // True when the journal ends with the question for `mailId`'s status.
  bool LastEventAsksFor(const char* mailId) const {
    return !host.Journal().empty() &&
           host.Journal().back().function == "BKA_GetStatus" &&
           host.Journal().back().text == mailId;
  }

  HostState& host = TheHost();
  std::unique_ptr<PluginLibrary> plugin;
  std::optional<uint32_t> savedAlwaysRead;
};

TEST_F(PluginShellTest, PlugInInfoWritesItsTextsAndNoOtherByte) {
  constexpr unsigned char kMarker = 0xA5;
  // Larger than the 328 bytes the plug-in may write, to catch a write
  // beyond them.
  constexpr size_t kRecordSize = 400;
  const struct {
    const char* library;
    bool hasVersionInformation;
  } cases[] = {
      {"Corvane", true},
      {"CorvaneNoVersion", false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.library);
    ASSERT_NO_FATAL_FAILURE(Load(test.library));
    std::vector<unsigned char> record(kRecordSize, kMarker);
    EXPECT_EQ(plugin->OnPlugInInfo(record.data()), 0);

    std::vector<unsigned char> expected(kRecordSize, kMarker);
    auto place = [&expected](size_t offset, const char* text) {
      std::memcpy(&expected[offset], text, std::strlen(text) + 1);
    };
    place(0, "Corvane plug-in");
    place(80, "Quendra");
    if (test.hasVersionInformation) place(160, "1.0.5.7");
    place(240, kDescription);
    for (size_t i = 0; i < kRecordSize; ++i) {
      if (record[i] != expected[i]) {
        ADD_FAILURE() << "first wrong byte at offset " << i << ": "
                      << int{record[i]} << ", expected " << int{expected[i]};
        break;
      }
    }
  }
}

TEST_F(PluginShellTest, OpenMailAsksForThePendingMailBeforeTheOpenedOne) {
  host.DefineMail(kFirstMail, 0, std::nullopt);
  host.DefineMail(kSecondMail, 0, std::nullopt);
  host.DefineMail(kThirdMail, 1, std::nullopt);
  ASSERT_NO_FATAL_FAILURE(Load("Corvane"));
  plugin->OnStart();

  // Check that an unread mail is asked for once and kept pending.
  host.ClearJournal();
  EXPECT_EQ(plugin->OnOpenMail(kFirstMail), 0);
  EXPECT_EQ(host.StatusQueries(), std::vector<std::string>{kFirstMail});

  // Check that the pending mail, read by now, is asked for first.
  host.MarkMailRead(kFirstMail);
  host.ClearJournal();
  plugin->OnOpenMail(kSecondMail);
  EXPECT_EQ(host.StatusQueries(),
            (std::vector<std::string>{kFirstMail, kSecondMail}));

  // Check that a mail already read ends the call once its status is known,
  // and that the still unread pending mail is asked for before it.
  host.ClearJournal();
  plugin->OnOpenMail(kThirdMail);
  EXPECT_EQ(host.StatusQueries(),
            (std::vector<std::string>{kSecondMail, kThirdMail}));
  EXPECT_TRUE(LastEventAsksFor(kThirdMail));

  // Check that nothing stayed pending after the read mail.
  host.ClearJournal();
  plugin->OnOpenMail(kSecondMail);
  EXPECT_EQ(host.StatusQueries(), std::vector<std::string>{kSecondMail});
}

TEST_F(PluginShellTest, AlwaysReadCountsOnlyForAnUnreadOpenedMail) {
  host.DefineMail(kFirstMail, 0, std::nullopt);
  host.DefineMail(kThirdMail, 1, std::nullopt);
  ASSERT_TRUE(StoreAlwaysRead(1));
  ASSERT_NO_FATAL_FAILURE(Load("Corvane"));
  plugin->OnStart();

  // Check that a read mail is left alone whatever the setting says: its
  // status is the last thing asked.
  host.ClearJournal();
  plugin->OnOpenMail(kThirdMail);
  EXPECT_EQ(host.StatusQueries(), std::vector<std::string>{kThirdMail});
  EXPECT_TRUE(LastEventAsksFor(kThirdMail));

  // Check that an unread mail counts as read at once and so never becomes
  // pending: the next open asks only for the next mail.
  plugin->OnOpenMail(kFirstMail);
  host.MarkMailRead(kFirstMail);
  host.ClearJournal();
  plugin->OnOpenMail(kThirdMail);
  EXPECT_EQ(host.StatusQueries(), std::vector<std::string>{kThirdMail});
}

TEST_F(PluginShellTest, OpenMailReachesTheControllerOnlyBetweenStartAndExit) {
  host.DefineMail(kFirstMail, 0, std::nullopt);
  host.DefineMail(kSecondMail, 0, std::nullopt);
  ASSERT_NO_FATAL_FAILURE(Load("Corvane"));

  // Check that binding asked the host for its version and nothing else.
  EXPECT_EQ(HostCalls(), std::vector<std::string>{"BKA_GetVersion"});

  // Check that a mail opened before the start calls nothing.
  host.ClearJournal();
  EXPECT_EQ(plugin->OnOpenMail(kFirstMail), 0);
  EXPECT_TRUE(host.Journal().empty());

  // Leave a mail pending, read by the time the plug-in ends.
  EXPECT_EQ(plugin->OnStart(), 0);
  plugin->OnOpenMail(kFirstMail);
  host.MarkMailRead(kFirstMail);

  // Check that ending twice, and opening after the end, calls nothing.
  host.ClearJournal();
  EXPECT_EQ(plugin->OnExit(), 0);
  EXPECT_EQ(plugin->OnExit(), 0);
  EXPECT_EQ(plugin->OnOpenMail(kSecondMail), 0);
  EXPECT_TRUE(host.Journal().empty());

  // Check that a new start works and has forgotten the pending mail.
  EXPECT_EQ(plugin->OnStart(), 0);
  plugin->OnOpenMail(kSecondMail);
  EXPECT_EQ(host.StatusQueries(), std::vector<std::string>{kSecondMail});
}

}  // namespace
}  // namespace standin
}  // namespace corvane
