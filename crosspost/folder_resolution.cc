// Resolving a newsgroup to its folder in the current mailbox and marking the
// article's copy there.

#include "crosspost/crosspost_reader.h"

namespace corvane {

int CrosspostReader::MarkCopyInGroup(const char* /*articleFolderId*/,
                                     char* /*group*/,
                                     const char* /*messageId*/) {
  return 0;
}

}  // namespace corvane
