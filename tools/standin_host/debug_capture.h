// Debug capture: every write the process makes to the system's debug output
// lands in TheHost()'s journal as one event, in the order written.
//
// On Windows the writes are caught in-process, from the moment capture
// starts. On POSIX the platform layer hands them to a function the main
// program exports, which this program always does.

#ifndef CORVANE_TOOLS_STANDIN_HOST_DEBUG_CAPTURE_H_
#define CORVANE_TOOLS_STANDIN_HOST_DEBUG_CAPTURE_H_

namespace corvane {
namespace standin {

// Starts capturing for the rest of the process's life. Idempotent.
void StartDebugCapture();

}  // namespace standin
}  // namespace corvane

#endif  // CORVANE_TOOLS_STANDIN_HOST_DEBUG_CAPTURE_H_
