// BKA_Connect, the last host function the plug-in requires. A stand-in host
// built without this file plays a host that lacks one of them.

#include "tools/standin_host/host_export.h"
#include "tools/standin_host/host_state.h"

extern "C" STANDIN_HOST_EXPORT int CORVANE_STDCALL BKA_Connect() {
  return corvane::standin::TheHost().AnswerUncalled("BKA_Connect");
}
