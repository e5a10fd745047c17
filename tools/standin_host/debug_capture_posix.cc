// Without a debugger to listen, the POSIX platform layer looks for a
// function of this name in the main program and gives it each write.

#include "tools/standin_host/debug_capture.h"
#include "tools/standin_host/host_export.h"
#include "tools/standin_host/host_state.h"

extern "C" STANDIN_HOST_EXPORT void DebugOutputListener(const char* text) {
  corvane::standin::TheHost().RecordDebugWrite(text != nullptr ? text : "");
}

namespace corvane {
namespace standin {

// The listener is exported for the program's whole life.
void StartDebugCapture() {}

}  // namespace standin
}  // namespace corvane
