// What a folder's own files tell about it: the copy of a message in its
// index, and whether it is a news folder.

#include "crosspost/crosspost_reader.h"

namespace corvane {

std::string CrosspostReader::FindMailByMessageId(const char* /*folderId*/,
                                                 const char* /*messageId*/) {
  return std::string();
}

int CrosspostReader::IsNewsFolder(const char* /*folderId*/) { return 0; }

}  // namespace corvane
