// The library's entry point. Windows calls it as DllMain; elsewhere the
// loading program calls it by that name, as the stand-in host does.

#include "host/host_api.h"
#include "shell/exports.h"
#include "shell/plugin_module.h"

namespace {
constexpr unsigned long kProcessAttach = 1;
}  // namespace

extern "C" int CORVANE_STDCALL DllMain(void* instance, unsigned long reason,
                                      void* /*reserved*/) {
  corvane::pluginModule.instance = instance;
  if (reason != kProcessAttach) return 1;
  // A host without the functions the plug-in relies on must not load it.
  return corvane::hostApi.Bind() ? 1 : 0;
}
