// Reads through the build's real settings store: the registry on Windows,
// the settings directory elsewhere.

#include "crosspost/settings_store.h"

#include <string>

#include "gtest/gtest.h"
#include "tests/fake_platform.h"
#include "tests/platform_wrapper.h"
#include "tests/user_settings_writer.h"

namespace corvane {
namespace {

const char kCompany[] = "CorvaneTestCompany";
const char kApplication[] = "Reader";

// Counts the keys the real platform opens and closes, the intermediate
// ones included.
class KeyCountingPlatform : public test::PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;

  int opened = 0;
  int closed = 0;

  UserKey OpenUserKey(UserKey parent, const char* name) override {
    UserKey key = PlatformWrapper::OpenUserKey(parent, name);
    if (key != nullptr) ++opened;
    return key;
  }
  void CloseUserKey(UserKey key) override {
    ++closed;
    PlatformWrapper::CloseUserKey(key);
  }
};

// Counts its openings through its own virtual operations.
class CountingStore : public SettingsStore {
 public:
  CountingStore() : SettingsStore(kCompany, kApplication) {}
  int applicationOpenings = 0;
  int sectionOpenings = 0;

  UserKey OpenApplicationKey() override {
    ++applicationOpenings;
    return SettingsStore::OpenApplicationKey();
  }
  UserKey OpenSectionKey(const char* section) override {
    ++sectionOpenings;
    return SettingsStore::OpenSectionKey(section);
  }
};

class SettingsStoreTest : public ::testing::Test {
 protected:
  // Reads `name` from section "settings" and checks that every key opened
  // on the way was closed again.
  int32_t Read(const char* name, int32_t defaultValue) {
    int openedBefore = keys.opened;
    int closedBefore = keys.closed;
    int32_t value = store.GetInt("settings", name, defaultValue);
    EXPECT_EQ(keys.opened - openedBefore, keys.closed - closedBefore)
        << "a key was left open reading " << name;
    EXPECT_EQ(1, store.sectionOpenings);
    EXPECT_EQ(1, store.applicationOpenings);
    store.sectionOpenings = store.applicationOpenings = 0;
    return value;
  }

  test::UserSettingsWriter writer{kCompany};
  KeyCountingPlatform keys{Platform::Current()};
  test::ScopedPlatform usingKeys{&keys};
  CountingStore store;
};

TEST_F(SettingsStoreTest, ReadsTheValueOrTheDefault) {
  writer.WriteDword("Reader\\settings", "One", 1);
  writer.WriteDword("Reader\\settings", "Zero", 0);
  writer.WriteDword("Reader\\settings", "AllBits", 0xFFFFFFFFu);
  writer.WriteString("Reader\\settings", "OneChar", "1");
  writer.WriteString("Reader\\settings", "FourChars", "1234");
  writer.WriteString("Reader\\settings", "ThreeChars", "123");
  struct Case {
    const char* name;
    int32_t defaultValue;
    int32_t expected;
  } cases[] = {
      {"One", 7, 1},
      {"Zero", 7, 0},
      {"AllBits", 7, -1},
      // A short string replaces only the low-order bytes of the default.
      {"OneChar", 0, 49},
      {"OneChar", 0x7F000000, 0x7F000031},
      {"ThreeChars", 0, 0x00333231},
      // Five bytes with the terminator do not fit four.
      {"FourChars", 9, 9},
      {"Missing", 5, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, Read(c.name, c.defaultValue)) << c.name;
  }
  EXPECT_EQ(Read("One", 7), Read("One", 7)) << "a second read differs";
}

TEST_F(SettingsStoreTest, AnyMissingKeyOnThePathGivesTheDefault) {
  EXPECT_EQ(3, Read("AlwaysRead", 3)) << "no company key";
  writer.CreateKey("");
  EXPECT_EQ(3, Read("AlwaysRead", 3)) << "no application key";
  writer.CreateKey("Reader");
  EXPECT_EQ(3, Read("AlwaysRead", 3)) << "no section key";
  writer.CreateKey("Reader\\settings");
  EXPECT_EQ(3, Read("AlwaysRead", 3)) << "no value";
  writer.WriteDword("Reader\\settings", "AlwaysRead", 1);
  EXPECT_EQ(1, Read("AlwaysRead", 3)) << "the whole path";
}

}  // namespace
}  // namespace corvane
