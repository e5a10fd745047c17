// The shell driven in-process, with a fake host behind the platform seam.

#include <cstring>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "host/host_api.h"
#include "shell/exports.h"
#include "shell/plugin_module.h"
#include "tests/fake_platform.h"

namespace corvane {
namespace {

int statusCalls = 0;

const char* CORVANE_STDCALL FakeGetVersion() { return "2.00.06"; }
int CORVANE_STDCALL FakeGetStatus(const char*) {
  ++statusCalls;
  return 1;
}

class VersionedPlatform : public test::FakePlatform {
 public:
  bool hasVersion = true;
  void* versionAskedFor = nullptr;
  bool ReadLibraryVersion(void* instance, uint16_t parts[4]) override {
    versionAskedFor = instance;
    if (!hasVersion) return false;
    const uint16_t version[4] = {1, 0, 5, 7};
    std::memcpy(parts, version, sizeof version);
    return true;
  }
};

constexpr unsigned long kProcessDetach = 0;
constexpr unsigned long kProcessAttach = 1;
constexpr unsigned long kThreadAttach = 2;
constexpr unsigned long kThreadDetach = 3;

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.ExportHostFunctions(&FakeGetVersion);
    host.exports["BKA_GetStatus"] =
        reinterpret_cast<ExportedFunction>(&FakeGetStatus);
    hostApi = HostApi();
    statusCalls = 0;
  }
  void TearDown() override {
    BKC_OnExit();
    hostApi = HostApi();
  }

  VersionedPlatform host;
  test::ScopedPlatform usingHost{&host};
  int instance = 0;
};

TEST_F(ShellTest, EntryPointBindsOnlyOnProcessAttach) {
  for (unsigned long reason : {kProcessDetach, kThreadAttach, kThreadDetach}) {
    int other = 0;
    EXPECT_NE(0, DllMain(&other, reason, nullptr)) << reason;
    EXPECT_EQ(&other, pluginModule.instance) << reason;
    EXPECT_TRUE(host.exportLookups.empty()) << reason;
  }
  EXPECT_NE(0, DllMain(&instance, kProcessAttach, nullptr));
  EXPECT_EQ(&instance, pluginModule.instance);
  EXPECT_NE(nullptr, hostApi.hostModule);
}

TEST_F(ShellTest, EntryPointRefusesAHostWithoutConnect) {
  host.exports.erase("BKA_Connect");
  EXPECT_EQ(0, DllMain(&instance, kProcessAttach, nullptr));
  EXPECT_EQ(nullptr, hostApi.hostModule);
}

TEST_F(ShellTest, OpenedMailsReachTheControllerOnlyWhileStarted) {
  ASSERT_NE(0, DllMain(&instance, kProcessAttach, nullptr));
  EXPECT_EQ(0, BKC_OnOpenMail("box\\?1"));
  EXPECT_EQ(0, statusCalls) << "before start";

  EXPECT_EQ(0, BKC_OnStart());
  EXPECT_EQ(0, BKC_OnOpenMail("box\\?1"));
  EXPECT_EQ(1, statusCalls) << "started";
  EXPECT_EQ(0, BKC_OnOpenMail(nullptr));
  EXPECT_EQ(1, statusCalls) << "a missing mail id";

  EXPECT_EQ(0, BKC_OnExit());
  EXPECT_EQ(nullptr, pluginModule.controller);
  EXPECT_EQ(0, BKC_OnExit()) << "a second exit";
  EXPECT_EQ(0, BKC_OnOpenMail("box\\?1"));
  EXPECT_EQ(1, statusCalls) << "after exit";

  EXPECT_EQ(0, BKC_OnStart());
  EXPECT_EQ(0, BKC_OnOpenMail("box\\?1"));
  EXPECT_EQ(2, statusCalls) << "started again";
}

TEST_F(ShellTest, IgnoredCallbacksAnswerZeroAndTouchNothing) {
  ASSERT_NE(0, DllMain(&instance, kProcessAttach, nullptr));
  ASSERT_EQ(0, BKC_OnStart());
  CrosspostReader* controller = pluginModule.controller;
  EXPECT_EQ(0, BKC_OnMenuInit(1, 2, 3));
  EXPECT_EQ(0, BKC_OnOpenFolder(1));
  EXPECT_EQ(0, BKC_OnEveryMinute());
  EXPECT_EQ(0, BKC_OnOpenCompose(1, 2));
  EXPECT_EQ(0, BKC_OnOutgoing(1, 2));
  EXPECT_EQ(0, BKC_OnKeyDispatch(1, 2, 3));
  EXPECT_EQ(0, BKC_OnRetrieve(1, 2));
  EXPECT_EQ(0, BKC_OnSend(1));
  EXPECT_EQ(0, BKC_OnFinishRetrieve(1));
  EXPECT_EQ(0, BKC_OnPlugInSetup(1));
  EXPECT_EQ(0, BKC_OnDragDrop(1, 2, 3, 4));
  EXPECT_EQ(controller, pluginModule.controller);
  EXPECT_EQ(0, statusCalls);
}

TEST_F(ShellTest, PluginInfoWorksWithoutHostOrController) {
  DllMain(&instance, kThreadAttach, nullptr);
  unsigned char record[400];
  std::memset(record, 0xA5, sizeof record);
  EXPECT_EQ(0, BKC_OnPlugInInfo(reinterpret_cast<PluginInfo*>(record)));
  EXPECT_STREQ("1.0.5.7", reinterpret_cast<char*>(record + 160));
  EXPECT_EQ(&instance, host.versionAskedFor);
  EXPECT_EQ(0xA5, record[328]);

  host.hasVersion = false;
  std::memset(record, 0xA5, sizeof record);
  EXPECT_EQ(0, BKC_OnPlugInInfo(reinterpret_cast<PluginInfo*>(record)));
  EXPECT_STREQ("Corvane plug-in", reinterpret_cast<char*>(record));
  for (int i = 160; i < 240; ++i) ASSERT_EQ(0xA5, record[i]) << i;
  EXPECT_EQ(0, BKC_OnPlugInInfo(nullptr));
}

}  // namespace
}  // namespace corvane
