// What the library exports to the host: its entry point and the fifteen
// callbacks, in the order of their ordinals.
//
// Every callback is stdcall and takes exactly the arguments listed, each one
// 32-bit value on the host's platform: the callee removes them from the
// stack, so a wrong count corrupts the host's stack. Ignored arguments are
// pointer-sized because the host may pass handles or pointers. Every
// callback answers 0. The host calls them one at a time on its own thread.

#ifndef CORVANE_SHELL_EXPORTS_H_
#define CORVANE_SHELL_EXPORTS_H_

#include <cstdint>

#include "platform/calling_convention.h"
#include "shell/plugin_info.h"

extern "C" {

// The platform's library entry point. Binds the host's functions when the
// library is attached to a process and answers 0, refusing the load, when
// the host lacks one it needs. Not among the host's exports on Windows.
CORVANE_EXPORT int CORVANE_STDCALL DllMain(void* instance,
                                           unsigned long reason,
                                           void* reserved);

CORVANE_EXPORT int CORVANE_STDCALL BKC_OnStart();
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnExit();
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnMenuInit(intptr_t, intptr_t,
                                                  intptr_t);
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnOpenFolder(intptr_t);
// `mailId` is the host's text; only a copy of it is kept.
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnOpenMail(const char* mailId);
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnEveryMinute();
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnOpenCompose(intptr_t, intptr_t);
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnOutgoing(intptr_t, intptr_t);
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnKeyDispatch(intptr_t, intptr_t,
                                                     intptr_t);
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnRetrieve(intptr_t, intptr_t);
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnSend(intptr_t);
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnFinishRetrieve(intptr_t);
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnPlugInSetup(intptr_t);
// `record` is the host's, at least 328 bytes; only the four texts are
// written.
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnPlugInInfo(
    corvane::PluginInfo* record);
CORVANE_EXPORT int CORVANE_STDCALL BKC_OnDragDrop(intptr_t, intptr_t,
                                                  intptr_t, intptr_t);

}  // extern "C"

#endif  // CORVANE_SHELL_EXPORTS_H_
