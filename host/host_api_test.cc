#include "host/host_api.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/fake_platform.h"

namespace corvane {
namespace {

const char* versionText = "";
int versionCalls = 0;

const char* CORVANE_STDCALL FakeGetVersion() {
  ++versionCalls;
  return versionText;
}
class BindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.ExportHostFunctions(&FakeGetVersion);
    versionText = "2.00.06";
    versionCalls = 0;
  }

  test::FakePlatform host;
  test::ScopedPlatform usingHost{&host};
  HostApi api;
};

TEST_F(BindTest, HostVersionDecidesWhetherSetStatusIsRequired) {
  struct Case {
    const char* version;
    bool hasSetStatus;
    bool bound;
  } cases[] = {
      {"2.00.05", false, true},   {"2.00.05", true, true},
      {"2.00.06", false, false},  {"2.00.06", true, true},
      {"2.1", false, false},      {"10.00.00", false, false},
      {"1.99", false, true},      {"2.00.0", false, true},
      {"", false, true},          {"2.00.05x", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.version) + (c.hasSetStatus ? " with" : " without") +
                 " BKA_SetStatus");
    if (!c.hasSetStatus) host.exports.erase("BKA_SetStatus");
    versionText = c.version;
    HostApi fresh;
    EXPECT_EQ(c.bound, fresh.Bind());
    EXPECT_EQ(c.bound, fresh.hostModule != nullptr);
    EXPECT_EQ(c.hasSetStatus, fresh.HasSetStatus());
    SetUp();
  }
}

TEST_F(BindTest, LooksUpEveryNameInDeclaredOrderWithSetStatusLast) {
  ASSERT_TRUE(api.Bind());
  std::vector<std::string> expected;
  for (int i = 0; i < kHostFunctionCount; ++i) {
    if (i != kBKA_SetStatus) expected.push_back(kHostFunctionNames[i]);
  }
  expected.push_back("BKA_SetStatus");
  EXPECT_EQ(expected, host.exportLookups);
  EXPECT_EQ(1, versionCalls);
  for (int i = 0; i < kHostFunctionCount; ++i) {
    EXPECT_NE(nullptr, api.entries[i]) << kHostFunctionNames[i];
  }
}

TEST_F(BindTest, SecondBindLooksNothingUpAgain) {
  ASSERT_TRUE(api.Bind());
  host.exportLookups.clear();
  host.exports.clear();
  EXPECT_TRUE(api.Bind());
  EXPECT_TRUE(host.exportLookups.empty());
  EXPECT_EQ(1, versionCalls);
}

TEST_F(BindTest, MissingConnectRefusesAndKeepsWhatWasFound) {
  host.exports.erase("BKA_Connect");
  EXPECT_FALSE(api.Bind());
  EXPECT_EQ(nullptr, api.hostModule);
  EXPECT_EQ("BKA_Connect", host.exportLookups.back());
  EXPECT_EQ(0, versionCalls);
  EXPECT_NE(nullptr, api.entries[kBKA_SerializeRcpts]);
  EXPECT_EQ(nullptr, api.entries[kBKA_SetStatus]);  // never looked up

  // A later Bind starts over and succeeds once the host is complete.
  SetUp();
  host.exportLookups.clear();
  EXPECT_TRUE(api.Bind());
  EXPECT_EQ(static_cast<size_t>(kHostFunctionCount), host.exportLookups.size());
}

TEST_F(BindTest, ProgramWithoutMainModuleIsNotBound) {
  host.hasMainProgram = false;
  EXPECT_FALSE(api.Bind());
  EXPECT_EQ(nullptr, api.hostModule);
  EXPECT_TRUE(host.exportLookups.empty());
}

TEST_F(BindTest, HostGivingNoVersionTextCountsAsOld) {
  versionText = nullptr;
  host.exports.erase("BKA_SetStatus");
  EXPECT_TRUE(api.Bind());
  EXPECT_FALSE(api.HasSetStatus());
}

}  // namespace
}  // namespace corvane
