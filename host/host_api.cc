#include "host/host_api.h"

#include <cstring>

namespace corvane {

HostApi hostApi;

const char* const kHostFunctionNames[kHostFunctionCount] = {
    "BKA_GetVersion",
    "BKA_Command",
    "BKA_GetWindowHandles",
    "BKA_RegisterCommand",
    "BKA_RegisterUICallback",
    "BKA_GetDataFolder",
    "BKA_GetTempFolder",
    "BKA_GetTempFileName",
    "BKA_GetCurrentMailBox",
    "BKA_SetCurrentMailBox",
    "BKA_GetCurrentFolder",
    "BKA_SetCurrentFolder",
    "BKA_GetFolderDisplayName",
    "BKA_SetMessageText",
    "BKA_GetCurrentMail",
    "BKA_SetCurrentMail",
    "BKA_GetNextMail",
    "BKA_SetSel",
    "BKA_AppendMessage",
    "BKA_MoveSelectedMessages",
    "BKA_GetStatus",
    "BKA_SetStatus",
    "BKA_ComposeMail",
    "BKA_GetCharSet",
    "BKA_GetSource",
    "BKA_SetSource",
    "BKA_GetHeader",
    "BKA_GetText",
    "BKA_SetText",
    "BKA_GetSpecifiedHeader",
    "BKA_SetSpecifiedHeader",
    "BKA_CompGetCharSet",
    "BKA_CompGetSource",
    "BKA_CompSetSource",
    "BKA_CompGetHeader",
    "BKA_CompGetSpecifiedHeader",
    "BKA_CompSetSpecifiedHeader",
    "BKA_CompGetText",
    "BKA_CompSetText",
    "BKA_CompAttachFile",
    "BKA_Alloc",
    "BKA_ReAlloc",
    "BKA_Free",
    "BKA_ISO_2022_JP",
    "BKA_ISO_2022_KR",
    "BKA_HZ_GB2312",
    "BKA_ISO_8859_2",
    "BKA_EUC_JP",
    "BKA_UTF_7",
    "BKA_UTF_8",
    "BKA_B64Convert",
    "BKA_QPConvert",
    "BKA_MIMEHeader",
    "BKA_SerializeRcpts",
    "BKA_Connect",
};

namespace {

// The first host version that must export BKA_SetStatus.
constexpr char kFirstVersionWithSetStatus[] = "2.00.06";
constexpr size_t kLongestOldVersionText = 7;

// Older hosts give version texts of at most seven characters; a longer text
// counts as new whatever it says.
bool IsOlderThanSetStatus(const char* versionText, Platform& platform) {
  return std::strlen(versionText) <= kLongestOldVersionText &&
         platform.CompareText(versionText, kFirstVersionWithSetStatus) < 0;
}

template <typename Function>
Function As(ExportedFunction entry) {
  return reinterpret_cast<Function>(entry);
}

}  // namespace

bool HostApi::Bind() {
  if (hostModule != nullptr) return true;
  Platform& platform = Platform::Current();
  hostModule = platform.MainProgram();
  if (hostModule == nullptr) return false;

  for (int i = 0; i < kHostFunctionCount; ++i) {
    if (i == kBKA_SetStatus) continue;  // optional, looked up last
    entries[i] = platform.FindExport(hostModule, kHostFunctionNames[i]);
    if (entries[i] == nullptr) {
      hostModule = nullptr;
      return false;
    }
  }
  entries[kBKA_SetStatus] =
      platform.FindExport(hostModule, kHostFunctionNames[kBKA_SetStatus]);

  const char* versionText = BKA_GetVersion();
  // The platform's text functions take a missing text as an empty one.
  if (versionText == nullptr) versionText = "";
  if (IsOlderThanSetStatus(versionText, platform)) return true;
  if (entries[kBKA_SetStatus] == nullptr) {
    hostModule = nullptr;
    return false;
  }
  return true;
}

const char* HostApi::BKA_GetVersion() const {
  return As<HostTextFunction>(entries[kBKA_GetVersion])();
}

const char* HostApi::BKA_GetDataFolder() const {
  return As<HostTextFunction>(entries[kBKA_GetDataFolder])();
}

const char* HostApi::BKA_GetCurrentMailBox() const {
  return As<HostTextFunction>(entries[kBKA_GetCurrentMailBox])();
}

const char* HostApi::BKA_GetCurrentMail() const {
  return As<HostTextFunction>(entries[kBKA_GetCurrentMail])();
}

int HostApi::BKA_GetStatus(const char* mailId) const {
  return As<HostGetStatusFunction>(entries[kBKA_GetStatus])(mailId);
}

int HostApi::BKA_SetStatus(const char* mailId, int status, int mask) const {
  return As<HostSetStatusFunction>(entries[kBKA_SetStatus])(mailId, status,
                                                           mask);
}

const char* HostApi::BKA_GetHeader(const char* mailId) const {
  return As<HostGetHeaderFunction>(entries[kBKA_GetHeader])(mailId);
}

}  // namespace corvane
