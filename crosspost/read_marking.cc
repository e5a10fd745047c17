// Asking the host to mark one copy read.

#include "crosspost/crosspost_reader.h"
#include "crosspost/trace.h"
#include "host/host_api.h"

namespace corvane {

int CrosspostReader::MarkRead(const char* mailId) {
  if (mailId == nullptr || *mailId == '\0') return 0;
  // A host older than 2.00.06 may lack BKA_SetStatus; then nothing can be
  // asked of it, and a trace line would claim a mark that never happened.
  if (!hostApi.HasSetStatus()) return 0;
  WriteTraceLine(kMarkReadLabel, mailId);
  hostApi.BKA_SetStatus(mailId, kReadFlag, 0);
  return 1;
}

}  // namespace corvane
