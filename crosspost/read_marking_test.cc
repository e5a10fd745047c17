#include <string>
#include <vector>

#include "crosspost/crosspost_reader.h"
#include "crosspost/trace.h"
#include "gtest/gtest.h"
#include "tests/fake_host_api.h"
#include "tests/fake_platform.h"

namespace corvane {
namespace {

class MarkReadTest : public ::testing::Test {
 protected:
  test::FakePlatform platform;
  test::ScopedPlatform usingPlatform{&platform};
  test::FakeHost host;
  CrosspostReader reader;
};

TEST_F(MarkReadTest, TracesThenAsksTheHostToSetTheReadFlag) {
  test::ScopedFakeHostApi usingHost(&host);
  EXPECT_EQ(1, reader.MarkRead("box\\b\\?17"));
  EXPECT_EQ((std::vector<std::string>{kMarkReadLabel, "box\\b\\?17", "\n"}),
            platform.debugWrites);
  EXPECT_EQ((std::vector<std::string>{"SetStatus box\\b\\?17 1 0"}), host.calls);

  // A mail that is read already is marked again: its status is not asked.
  host.calls.clear();
  EXPECT_EQ(1, reader.MarkRead("box\\b\\?17"));
  EXPECT_EQ((std::vector<std::string>{"SetStatus box\\b\\?17 1 0"}), host.calls);
}

TEST_F(MarkReadTest, NothingToMarkDoesNothing) {
  test::ScopedFakeHostApi usingHost(&host);
  EXPECT_EQ(0, reader.MarkRead(nullptr));
  EXPECT_EQ(0, reader.MarkRead(""));
  EXPECT_TRUE(platform.debugWrites.empty());
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(MarkReadTest, HostWithoutSetStatusIsAskedNothing) {
  test::ScopedFakeHostApi usingOldHost(&host, /*withSetStatus=*/false);
  EXPECT_EQ(0, reader.MarkRead("box\\b\\?17"));
  EXPECT_TRUE(platform.debugWrites.empty());
  EXPECT_TRUE(host.calls.empty());
}

TEST(TraceLabelTest, LabelsAreCodePage932Bytes) {
  // "カレントメールID:" and "既読対象メールID:" as the host's users read them.
  EXPECT_EQ(std::string("\x83\x4A\x83\x8C\x83\x93\x83\x67\x83\x81\x81\x5B"
                        "\x83\x8B" "ID:"),
            kCurrentMailLabel);
  EXPECT_EQ(std::string("\x8A\xF9\x93\xC7\x91\xCE\x8F\xDB\x83\x81\x81\x5B"
                        "\x83\x8B" "ID:"),
            kMarkReadLabel);
}

}  // namespace
}  // namespace corvane
