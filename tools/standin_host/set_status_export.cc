// BKA_SetStatus, which hosts older than 2.00.06 do not offer. A stand-in
// host built without this file plays such a host.

#include "tools/standin_host/host_export.h"
#include "tools/standin_host/host_state.h"

extern "C" STANDIN_HOST_EXPORT int CORVANE_STDCALL
BKA_SetStatus(const char* mailId, int value, int mask) {
  return corvane::standin::TheHost().SetStatus(mailId, value, mask);
}
