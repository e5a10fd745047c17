// Asking the host to mark one copy read.

#include "crosspost/crosspost_reader.h"

namespace corvane {

int CrosspostReader::MarkRead(const char* /*mailId*/) { return 0; }

}  // namespace corvane
