// Propagates an article whose header text is the fuzzer's input, through a
// fake host on a small fixed mailbox, and checks what the plug-in asked of
// the host.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "crosspost/crosspost_reader.h"
#include "tests/fake_host_api.h"
#include "tests/fake_platform.h"

namespace {

using corvane::test::FakePlatform;

// A record of a folder index: key in field 1, message id in field 6.
std::string IndexRecord(const std::string& key, const std::string& messageId) {
  std::string record;
  const std::string fields[14] = {"0",  key, "d", "s", "f", "t", messageId,
                                  "7", "8", "9", "10", "11", "12", "13"};
  for (int i = 0; i < 14; ++i) record += (i ? "\x01" : "") + fields[i];
  return record + "\r\n";
}

void AddMailbox(FakePlatform* platform) {
  const char* newsFolders[] = {"box\\a\\b\\", "box\\c\\", "box\\moved\\",
                               "box\\a\\", "box\\\\"};
  for (const char* folder : newsFolders) {
    platform->files[std::string("data\\") + folder + "news.ini"] = {"", 1};
    platform->files[std::string("data\\") + folder + "Folder.idx"] = {
        "2\x01header\r\n" + IndexRecord("1", "<m@x>") +
            IndexRecord("2", "<other@x>") + IndexRecord("3", "<M@X>"),
        1};
  }
  platform->files["data\\box\\IFilter.def"] = {
      ":Begin\r\n@0:X-Gazzet-To:r.s\t0\r\n!M:box\\moved\\\r\n:End\r\n", 1};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FakePlatform platform;
  AddMailbox(&platform);
  corvane::test::ScopedPlatform usingPlatform(&platform);
  corvane::test::FakeHost host;
  host.headers["box\\a\\b\\?9"] =
      std::string(reinterpret_cast<const char*>(data), size).c_str();
  corvane::test::ScopedFakeHostApi usingHost(&host);

  {
    corvane::CrosspostReader reader;
    reader.PropagateRead("box\\a\\b\\?9");
  }

  if (platform.openFileCount != 0) std::abort();
  if (platform.debugWrites.size() % 3 != 0) std::abort();
  for (const std::string& call : host.CallsStartingWith("SetStatus ")) {
    // Only copies that the indexes hold can be marked, never the article.
    bool known = call.find("?1 1 0") != std::string::npos ||
                 call.find("?2 1 0") != std::string::npos ||
                 call.find("?3 1 0") != std::string::npos;
    if (!known || call.find("box\\a\\b\\?") != std::string::npos) std::abort();
  }
  return 0;
}
