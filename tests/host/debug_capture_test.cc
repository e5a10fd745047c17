// The stand-in host keeps each debug write the plug-in's platform layer
// makes as one event, bytes unchanged: the plug-in writes every trace line
// in three writes, and the tests tell them apart.

#include "tools/standin_host/debug_capture.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/platform.h"
#include "tools/standin_host/host_state.h"

namespace corvane {
namespace standin {
namespace {

std::vector<std::string> DebugWrites() {
  std::vector<std::string> writes;
  for (const HostEvent& event : TheHost().Journal()) {
    if (event.kind == HostEvent::Kind::kDebugWrite)
      writes.push_back(event.text);
  }
  return writes;
}

TEST(DebugCaptureTest, KeepsEachWriteWholeAndInOrder) {
  StartDebugCapture();
  TheHost().Reset();
  const std::vector<std::string> writes = {
      // A code page 932 label: bytes above 0x7F, one of them 0x5B ('[').
      "\x8a\xf9\x93\xc7\x91\xce\x8f\xdb\x83\x81\x81\x5b\x83\x8bID:",
      "Mailbox1\\example\\misc\\?7",
      "\n",
      "",
  };
  for (const std::string& text : writes) {
    Platform::Current().WriteDebugText(text.c_str());
  }
  EXPECT_EQ(DebugWrites(), writes);
}

}  // namespace
}  // namespace standin
}  // namespace corvane
