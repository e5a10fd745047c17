// The fifteen callbacks through which the host reports events.
//
// Nothing may escape into the host: an exception thrown on the host's
// thread would end the user's mail client.

#include <new>

#include "shell/exports.h"
#include "shell/plugin_module.h"

namespace corvane {
PluginModule pluginModule;
}  // namespace corvane

using corvane::pluginModule;

namespace {

void DestroyController() {
  delete pluginModule.controller;
  pluginModule.controller = nullptr;
}

}  // namespace

extern "C" {

int CORVANE_STDCALL BKC_OnStart() {
  // A second start without an exit replaces the controller rather than
  // leaking it.
  DestroyController();
  pluginModule.controller = new (std::nothrow) corvane::CrosspostReader();
  return 0;
}

int CORVANE_STDCALL BKC_OnExit() {
  DestroyController();
  return 0;
}

int CORVANE_STDCALL BKC_OnMenuInit(intptr_t, intptr_t,
                                                  intptr_t) {
  return 0;
}

int CORVANE_STDCALL BKC_OnOpenFolder(intptr_t) { return 0; }

int CORVANE_STDCALL BKC_OnOpenMail(const char* mailId) {
  if (pluginModule.controller == nullptr || mailId == nullptr) return 0;
  try {
    pluginModule.controller->OnOpenMail(mailId);
  } catch (...) {
    // Out of memory: the article is simply not propagated.
  }
  return 0;
}

int CORVANE_STDCALL BKC_OnEveryMinute() { return 0; }

int CORVANE_STDCALL BKC_OnOpenCompose(intptr_t, intptr_t) {
  return 0;
}

int CORVANE_STDCALL BKC_OnOutgoing(intptr_t, intptr_t) {
  return 0;
}

int CORVANE_STDCALL BKC_OnKeyDispatch(intptr_t, intptr_t,
                                                     intptr_t) {
  return 0;
}

int CORVANE_STDCALL BKC_OnRetrieve(intptr_t, intptr_t) {
  return 0;
}

int CORVANE_STDCALL BKC_OnSend(intptr_t) { return 0; }

int CORVANE_STDCALL BKC_OnFinishRetrieve(intptr_t) { return 0; }

int CORVANE_STDCALL BKC_OnPlugInSetup(intptr_t) { return 0; }

int CORVANE_STDCALL BKC_OnPlugInInfo(
    corvane::PluginInfo* record) {
  if (record != nullptr) corvane::FillPluginInfo(record, pluginModule.instance);
  return 0;
}

int CORVANE_STDCALL BKC_OnDragDrop(intptr_t, intptr_t,
                                                  intptr_t, intptr_t) {
  return 0;
}

}  // extern "C"
