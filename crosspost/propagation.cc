// Taking a read article's Xref and Message-Id and handing every newsgroup it
// was cross-posted to on to MarkCopyInGroup.

#include "crosspost/crosspost_reader.h"

namespace corvane {

// Propagation needs the header parser, which is not built yet; until then an
// article that became read marks nothing.
void CrosspostReader::PropagateRead(const char* /*mailId*/) {}

int CrosspostReader::FetchHeaders(const char* /*mailId*/,
                                  HeaderMap& /*headers*/) {
  return 0;
}

}  // namespace corvane
