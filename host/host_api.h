// HostApi: the host's 55 exported BKA_ functions, looked up once at load.
//
// The host exports its services from its main program by name. Bind resolves
// all of them into one module-wide table, all or nothing; every other part of
// the plug-in calls the host through the typed accessors below. Texts that
// the host returns stay the host's: never free or keep them.
//
// Used on the host's calling thread only.

#ifndef CORVANE_HOST_HOST_API_H_
#define CORVANE_HOST_HOST_API_H_

#include "platform/platform.h"

namespace corvane {

// The entries of the table, in the order the host declares them.
enum HostFunctionIndex {
  kBKA_GetVersion = 0,
  kBKA_Command,
  kBKA_GetWindowHandles,
  kBKA_RegisterCommand,
  kBKA_RegisterUICallback,
  kBKA_GetDataFolder,
  kBKA_GetTempFolder,
  kBKA_GetTempFileName,
  kBKA_GetCurrentMailBox,
  kBKA_SetCurrentMailBox,
  kBKA_GetCurrentFolder,
  kBKA_SetCurrentFolder,
  kBKA_GetFolderDisplayName,
  kBKA_SetMessageText,
  kBKA_GetCurrentMail,
  kBKA_SetCurrentMail,
  kBKA_GetNextMail,
  kBKA_SetSel,
  kBKA_AppendMessage,
  kBKA_MoveSelectedMessages,
  kBKA_GetStatus,
  kBKA_SetStatus,
  kBKA_ComposeMail,
  kBKA_GetCharSet,
  kBKA_GetSource,
  kBKA_SetSource,
  kBKA_GetHeader,
  kBKA_GetText,
  kBKA_SetText,
  kBKA_GetSpecifiedHeader,
  kBKA_SetSpecifiedHeader,
  kBKA_CompGetCharSet,
  kBKA_CompGetSource,
  kBKA_CompSetSource,
  kBKA_CompGetHeader,
  kBKA_CompGetSpecifiedHeader,
  kBKA_CompSetSpecifiedHeader,
  kBKA_CompGetText,
  kBKA_CompSetText,
  kBKA_CompAttachFile,
  kBKA_Alloc,
  kBKA_ReAlloc,
  kBKA_Free,
  kBKA_ISO_2022_JP,
  kBKA_ISO_2022_KR,
  kBKA_HZ_GB2312,
  kBKA_ISO_8859_2,
  kBKA_EUC_JP,
  kBKA_UTF_7,
  kBKA_UTF_8,
  kBKA_B64Convert,
  kBKA_QPConvert,
  kBKA_MIMEHeader,
  kBKA_SerializeRcpts,
  kBKA_Connect,
  kHostFunctionCount
};

// Bit 0 of a mail's status word: the mail has been read.
constexpr int kReadFlag = 1;

// The exported name of each entry, indexed by HostFunctionIndex.
extern const char* const kHostFunctionNames[kHostFunctionCount];

// The real types of the seven host functions the plug-in calls.
using HostTextFunction = const char*(CORVANE_STDCALL*)();
using HostGetStatusFunction = int(CORVANE_STDCALL*)(const char* mailId);
using HostSetStatusFunction = int(CORVANE_STDCALL*)(const char* mailId,
                                                   int status, int mask);
using HostGetHeaderFunction = const char*(CORVANE_STDCALL*)(const char* mailId);

struct HostApi {
  // One entry per host function; null until Bind resolves it. After a
  // successful Bind only kBKA_SetStatus may still be null (hosts older than
  // 2.00.06 lack it).
  ExportedFunction entries[kHostFunctionCount] = {};
  // The host's main program; null while the table is not bound.
  void* hostModule = nullptr;

  // Resolves every entry from the main program, unless already bound.
  // Returns true when the table is bound. A failed Bind leaves hostModule
  // null, so a later Bind starts over.
  bool Bind();

  // REQUIRES: the entry is not null (all are after a successful Bind, but
  // see HasSetStatus).
  const char* BKA_GetVersion() const;
  const char* BKA_GetDataFolder() const;
  const char* BKA_GetCurrentMailBox() const;
  const char* BKA_GetCurrentMail() const;
  int BKA_GetStatus(const char* mailId) const;
  int BKA_SetStatus(const char* mailId, int status, int mask) const;
  const char* BKA_GetHeader(const char* mailId) const;

  bool HasSetStatus() const { return entries[kBKA_SetStatus] != nullptr; }
};

// The module-wide table. Unbound until the library's entry point binds it.
extern HostApi hostApi;

}  // namespace corvane

#endif  // CORVANE_HOST_HOST_API_H_
