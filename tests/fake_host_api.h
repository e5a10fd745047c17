// FakeHostApi: the host's side of HostApi for unit tests.
//
// While a ScopedFakeHostApi lives, the module-wide table calls into one
// FakeHost, which answers from its fields and logs every call in order.
// One at a time; not thread-safe.

#ifndef CORVANE_TESTS_FAKE_HOST_API_H_
#define CORVANE_TESTS_FAKE_HOST_API_H_

#include <map>
#include <string>
#include <vector>

#include "host/host_api.h"

namespace corvane {
namespace test {

struct FakeHost {
  std::string dataFolder = "data\\";
  std::string mailbox = "box\\";
  std::string currentMail = "box\\news\\?1";
  // Status words by mail id; an unknown mail reads 0.
  std::map<std::string, int> status;
  // Header texts by mail id; an unknown mail has none.
  std::map<std::string, std::string> headers;
  // "GetStatus <id>", "SetStatus <id> <value> <mask>", "GetHeader <id>",
  // "GetDataFolder", "GetCurrentMailBox", "GetCurrentMail".
  std::vector<std::string> calls;

  // The calls whose text starts with `prefix`.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls) {
      if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
    }
    return found;
  }
};

class ScopedFakeHostApi {
 public:
  // `host` must outlive the scope. Without `withSetStatus` the table lacks
  // BKA_SetStatus, as with a host older than 2.00.06.
  explicit ScopedFakeHostApi(FakeHost* host, bool withSetStatus = true)
      : saved(hostApi) {
    current = host;
    hostApi = HostApi();
    hostApi.hostModule = host;
    Set(kBKA_GetDataFolder, &GetDataFolder);
    Set(kBKA_GetCurrentMailBox, &GetCurrentMailBox);
    Set(kBKA_GetCurrentMail, &GetCurrentMail);
    Set(kBKA_GetStatus, &GetStatus);
    Set(kBKA_GetHeader, &GetHeader);
    if (withSetStatus) Set(kBKA_SetStatus, &SetStatus);
  }
  ~ScopedFakeHostApi() {
    hostApi = saved;
    current = nullptr;
  }
  ScopedFakeHostApi(const ScopedFakeHostApi&) = delete;
  ScopedFakeHostApi& operator=(const ScopedFakeHostApi&) = delete;

 private:
  template <typename Function>
  static void Set(HostFunctionIndex index, Function function) {
    hostApi.entries[index] = reinterpret_cast<ExportedFunction>(function);
  }

  static const char* CORVANE_STDCALL GetDataFolder() {
    current->calls.push_back("GetDataFolder");
    return current->dataFolder.c_str();
  }
  static const char* CORVANE_STDCALL GetCurrentMailBox() {
    current->calls.push_back("GetCurrentMailBox");
    return current->mailbox.c_str();
  }
  static const char* CORVANE_STDCALL GetCurrentMail() {
    current->calls.push_back("GetCurrentMail");
    return current->currentMail.c_str();
  }
  static int CORVANE_STDCALL GetStatus(const char* mailId) {
    current->calls.push_back(std::string("GetStatus ") + mailId);
    auto found = current->status.find(mailId);
    return found == current->status.end() ? 0 : found->second;
  }
  static int CORVANE_STDCALL SetStatus(const char* mailId, int value,
                                       int mask) {
    current->calls.push_back(std::string("SetStatus ") + mailId + " " +
                             std::to_string(value) + " " +
                             std::to_string(mask));
    current->status[mailId] |= value;
    return 1;
  }
  static const char* CORVANE_STDCALL GetHeader(const char* mailId) {
    current->calls.push_back(std::string("GetHeader ") + mailId);
    auto found = current->headers.find(mailId);
    return found == current->headers.end() ? nullptr : found->second.c_str();
  }

  static inline FakeHost* current = nullptr;
  HostApi saved;
};

}  // namespace test
}  // namespace corvane

#endif  // CORVANE_TESTS_FAKE_HOST_API_H_
