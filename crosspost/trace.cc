#include "crosspost/trace.h"

#include "platform/platform.h"

namespace corvane {

void WriteTraceLine(const char* label, const char* value) {
  Platform& platform = Platform::Current();
  platform.WriteDebugText(label);
  platform.WriteDebugText(value != nullptr ? value : "");
  platform.WriteDebugText("\n");
}

}  // namespace corvane
