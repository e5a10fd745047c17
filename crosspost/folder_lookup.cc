// What a folder's own files tell about it: the copy of a message in its
// index, and whether it is a news folder.

#include <cstring>
#include <string>

#include "crosspost/crosspost_reader.h"
#include "crosspost/folder_index.h"
#include "crosspost/id_text.h"
#include "host/host_api.h"
#include "platform/platform.h"

namespace corvane {

namespace {

// Puts the path of `fileName` in folder `folderId` into `path`: the data
// folder, the folder id and the file name run together, as the host names
// its files. False, with nothing written, when the host gives no data folder
// or the path would not fit the host's path buffer: the host could not have
// made such a file.
bool ComposeFolderFilePath(const char* folderId, const char* fileName,
                           char (&path)[kPathBufferSize]) {
  const char* dataFolder = hostApi.BKA_GetDataFolder();
  if (dataFolder == nullptr || folderId == nullptr) return false;
  const char* parts[] = {dataFolder, folderId, fileName};
  size_t lengths[3];
  size_t total = 0;
  for (int i = 0; i < 3; ++i) {
    lengths[i] = std::strlen(parts[i]);
    total += lengths[i];
    if (total > kLongestPath) return false;
  }
  char* end = path;
  for (int i = 0; i < 3; ++i) {
    std::memcpy(end, parts[i], lengths[i]);
    end += lengths[i];
  }
  *end = '\0';
  return true;
}

}  // namespace

std::string CrosspostReader::FindMailByMessageId(const char* folderId,
                                                 const char* messageId) {
  char path[kPathBufferSize];
  std::string key;
  if (!ComposeFolderFilePath(folderId, "Folder.idx", path) ||
      !FindKeyByMessageId(path, messageId, &key)) {
    return std::string();
  }
  return std::string(folderId) + "?" + key;
}

int CrosspostReader::IsNewsFolder(const char* folderId) {
  char path[kPathBufferSize];
  return ComposeFolderFilePath(folderId, "news.ini", path) &&
                 Platform::Current().QueryFileStatus(path, nullptr)
             ? 1
             : 0;
}

}  // namespace corvane
