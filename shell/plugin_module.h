// The module-wide state of the loaded library.
//
// One of each for the library's life: the instance handle the platform
// passed to the entry point, and the single controller, which the module
// owns from BKC_OnStart to BKC_OnExit. Touched only by the entry point and
// the callbacks, on the host's calling thread.

#ifndef CORVANE_SHELL_PLUGIN_MODULE_H_
#define CORVANE_SHELL_PLUGIN_MODULE_H_

#include "crosspost/crosspost_reader.h"

namespace corvane {

struct PluginModule {
  void* instance = nullptr;
  // Null before BKC_OnStart, after BKC_OnExit, and when creation failed.
  CrosspostReader* controller = nullptr;
};

extern PluginModule pluginModule;

}  // namespace corvane

#endif  // CORVANE_SHELL_PLUGIN_MODULE_H_
