#include "crosspost/crosspost_reader.h"

#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "host/host_api.h"
#include "tests/fake_platform.h"

namespace corvane {
namespace {

// What the controller asked of the host and of itself, in order.
std::vector<std::string> events;
std::map<std::string, int> statusWords;

int CORVANE_STDCALL FakeGetStatus(const char* mailId) {
  events.push_back(std::string("GetStatus ") + mailId);
  return statusWords[mailId];
}

// Watches PropagateRead through the object, as the controller calls it.
class WatchedReader : public CrosspostReader {
 public:
  void PropagateRead(const char* mailId) override {
    events.push_back(std::string("PropagateRead ") + mailId);
  }
  using CrosspostReader::PendingMailId;
};

// Records reading the host's setting as an event of its own.
class SettingsWatchingPlatform : public test::FakePlatform {
 public:
  UserKey OpenUserKey(UserKey parent, const char* name) override {
    if (std::string(name) == "settings") events.push_back("AlwaysRead");
    return FakePlatform::OpenUserKey(parent, name);
  }
};

const char kSettingsKey[] = "software\\Ostrel\\Mailer\\settings";
constexpr int kAbsent = -1;

class OnOpenMailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedApi = hostApi;
    hostApi.entries[kBKA_GetStatus] =
        reinterpret_cast<ExportedFunction>(&FakeGetStatus);
    events.clear();
    statusWords.clear();
  }
  void TearDown() override { hostApi = savedApi; }

  void SetAlwaysRead(int value) {
    host.settings.clear();
    if (value != kAbsent) host.SetSetting(kSettingsKey, "AlwaysRead", test::DwordData(value));
  }

  // Makes `mailId` the pending mail: opened while unread, AlwaysRead 0.
  void MakePending(const char* mailId) {
    SetAlwaysRead(0);
    statusWords[mailId] = 0;
    reader.OnOpenMail(mailId);
    ASSERT_EQ(mailId, reader.PendingMailId());
    events.clear();
  }

  HostApi savedApi;
  SettingsWatchingPlatform host;
  test::ScopedPlatform usingHost{&host};
  WatchedReader reader;
};

TEST_F(OnOpenMailTest, DecisionTable) {
  struct Case {
    bool pending;
    bool pendingRead;
    bool openedRead;
    int alwaysRead;
    std::vector<std::string> events;
    const char* pendingAfter;
  } cases[] = {
      {false, false, true, 0, {"GetStatus S"}, ""},
      {false, false, false, 0, {"GetStatus S", "AlwaysRead"}, "S"},
      {false, false, false, 1,
       {"GetStatus S", "AlwaysRead", "PropagateRead S"}, ""},
      {true, true, true, 0,
       {"GetStatus P", "PropagateRead P", "GetStatus S"}, ""},
      {true, true, false, 0,
       {"GetStatus P", "PropagateRead P", "GetStatus S", "AlwaysRead"}, "S"},
      {true, true, false, 1,
       {"GetStatus P", "PropagateRead P", "GetStatus S", "AlwaysRead",
        "PropagateRead S"},
       ""},
      {true, false, true, 0, {"GetStatus P", "GetStatus S"}, ""},
      {true, false, false, 0,
       {"GetStatus P", "GetStatus S", "AlwaysRead"}, "S"},
      {true, false, false, 1,
       {"GetStatus P", "GetStatus S", "AlwaysRead", "PropagateRead S"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "pending " << c.pending << ", pending read " << c.pendingRead
                 << ", opened read " << c.openedRead << ", AlwaysRead "
                 << c.alwaysRead);
    WatchedReader fresh;
    if (c.pending) {
      SetAlwaysRead(0);
      statusWords["P"] = 0;
      fresh.OnOpenMail("P");
    }
    SetAlwaysRead(c.alwaysRead);
    statusWords["P"] = c.pendingRead ? 1 : 0;
    statusWords["S"] = c.openedRead ? 1 : 0;
    events.clear();
    fresh.OnOpenMail("S");
    EXPECT_EQ(c.events, events);
    EXPECT_EQ(c.pendingAfter, fresh.PendingMailId());
    EXPECT_EQ(0, host.openKeyCount);
  }
}

TEST_F(OnOpenMailTest, OnlyBitZeroOfTheStatusWordMeansRead) {
  MakePending("P");
  statusWords["P"] = ~1;
  statusWords["S"] = 0x100;
  reader.OnOpenMail("S");
  EXPECT_EQ((std::vector<std::string>{"GetStatus P", "GetStatus S", "AlwaysRead"}), events);
  EXPECT_EQ("S", reader.PendingMailId());
}

TEST_F(OnOpenMailTest, SameMailOpenedAgainAfterReadingPropagatesOnce) {
  MakePending("M");
  statusWords["M"] = 1;
  reader.OnOpenMail("M");
  EXPECT_EQ((std::vector<std::string>{"GetStatus M", "PropagateRead M", "GetStatus M"}),
            events);
  EXPECT_EQ("", reader.PendingMailId());
}

TEST_F(OnOpenMailTest, MissingOrUnusableSettingLeavesTheMailPending) {
  struct Case {
    const char* description;
    std::string keyPath;
    std::string data;
  } cases[] = {
      {"no settings key", "software\\Ostrel\\Mailer", ""},
      {"no value", kSettingsKey, ""},
      {"five-byte string", kSettingsKey, std::string("1234\0", 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    host.settings.clear();
    if (c.data.empty()) {
      host.SetSetting(c.keyPath, "Other", "x");
    } else {
      host.SetSetting(c.keyPath, "AlwaysRead", c.data);
    }
    WatchedReader fresh;
    statusWords["S"] = 0;
    events.clear();
    fresh.OnOpenMail("S");
    EXPECT_EQ("S", fresh.PendingMailId());
    EXPECT_EQ(0, host.openKeyCount);
  }
}

TEST_F(OnOpenMailTest, KeepsItsOwnCopyOfThePendingMailId) {
  SetAlwaysRead(kAbsent);
  char mailId[] = "box\\news\\?1";
  reader.OnOpenMail(mailId);
  mailId[0] = 'X';
  EXPECT_EQ("box\\news\\?1", reader.PendingMailId());
}

}  // namespace
}  // namespace corvane
