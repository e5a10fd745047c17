// Taking a read article's Xref and Message-Id and handing every newsgroup it
// was cross-posted to on to MarkCopyInGroup.

#include <cstring>
#include <string>
#include <vector>

#include "crosspost/crosspost_reader.h"
#include "crosspost/id_text.h"
#include "crosspost/trace.h"
#include "host/host_api.h"
#include "parse/message_part.h"
#include "parse/text_split.h"

namespace corvane {

namespace {

constexpr int kHeaderValueBufferSize = 2048;
constexpr int kMaxXrefFields = 128;

// Cuts `text` at the last `byte` in it, that byte and all after it going.
void CutAtLast(std::string* text, char byte) {
  size_t at = text->rfind(byte);
  if (at != std::string::npos) text->erase(at);
}

// The folder id of a mail: its mail id up to the last '?', or the whole
// mail id when it has none.
std::string FolderIdOfMail(const char* mailId) {
  std::string folderId = mailId;
  CutAtLast(&folderId, '?');
  return folderId;
}

}  // namespace

void CrosspostReader::PropagateRead(const char* mailId) {
  // A mail id the host's own buffers could not hold names no folder of it.
  if (mailId == nullptr || std::strlen(mailId) > kLongestPath) return;

  HeaderMap headers;
  headers["Xref"];
  headers["Message-Id"];
  if (FetchHeaders(mailId, headers) == 0) return;

  const std::string folderId = FolderIdOfMail(mailId);
  if (IsNewsFolder(folderId.c_str()) == 0) return;
  // The line names the host's current mail, which is not the propagated one
  // when a pending article is propagated as the next mail opens.
  WriteTraceLine(kCurrentMailLabel, hostApi.BKA_GetCurrentMail());

  std::vector<char> xref(headers["Xref"].begin(), headers["Xref"].end());
  xref.push_back('\0');
  char* fields[kMaxXrefFields];
  int count = SplitFields(xref.data(), ' ', fields, kMaxXrefFields);
  const std::string& messageId = headers["Message-Id"];
  // The first field names the server; each further one is group:number.
  for (int i = 1; i < count; ++i) {
    char* group = TrimSpace(fields[i]);
    if (char* colon = std::strchr(group, ':')) *colon = '\0';
    MarkCopyInGroup(folderId.c_str(), group, messageId.c_str());
  }
}

int CrosspostReader::FetchHeaders(const char* mailId, HeaderMap& headers) {
  const char* text = hostApi.BKA_GetHeader(mailId);
  if (text == nullptr) return 0;

  MessagePart message;
  const char* cursor = text;
  message.Parse(&cursor, nullptr);
  std::vector<char> value(kHeaderValueBufferSize);
  for (auto& header : headers) {
    message.GetHeaderValue(header.first.c_str(), value.data(),
                           kHeaderValueBufferSize);
    std::string found = value.data();
    // Cuts the line end off a value. A folded value keeps its first line
    // and that line's CR, which trimming the last group later removes.
    CutAtLast(&found, '\r');
    CutAtLast(&found, '\n');
    header.second = found;
  }
  return 1;
}

}  // namespace corvane
