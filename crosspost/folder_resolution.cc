// Resolving a newsgroup to its folder in the current mailbox and marking the
// article's copy there.

#include <memory>
#include <string>

#include "crosspost/crosspost_reader.h"
#include "crosspost/id_text.h"
#include "host/host_api.h"
#include "parse/text_split.h"

namespace corvane {

namespace {

constexpr int kMaxGroupParts = 64;

// Appends the folder named after `group` below the mailbox id in `*path`: one
// level per dotted part, each followed by a backslash. False when the result
// would not fit the host's path buffer.
bool AppendGroupFolder(char* group, std::string* path) {
  char* parts[kMaxGroupParts];
  int count = SplitFields(group, '.', parts, kMaxGroupParts);
  for (int i = 0; i < count; ++i) {
    path->append(parts[i]).push_back('\\');
    if (path->size() > kLongestPath) return false;
  }
  return true;
}

}  // namespace

FilterRules* CrosspostReader::RulesForMailbox(const char* mailboxId) {
  std::unique_ptr<FilterRules>& rules = rulesByMailbox[mailboxId];
  if (rules == nullptr) {
    const char* dataFolder = hostApi.BKA_GetDataFolder();
    if (dataFolder == nullptr) return nullptr;
    rules = std::make_unique<FilterRules>(dataFolder, mailboxId);
  }
  return rules.get();
}

int CrosspostReader::MarkCopyInGroup(const char* articleFolderId, char* group,
                                     const char* messageId) {
  if (articleFolderId == nullptr || group == nullptr) return 0;
  const char* mailboxId = hostApi.BKA_GetCurrentMailBox();
  if (mailboxId == nullptr) return 0;
  std::string target = mailboxId;
  // A mailbox id the host's own buffers could not hold names no folder.
  if (target.size() > kLongestPath) return 0;

  // The mailbox's rules are made before anything is known of the group, so
  // that they are read once for the mailbox, not once per group.
  FilterRules* rules = RulesForMailbox(mailboxId);
  if (rules == nullptr) return 0;
  const char* ruledFolder = rules->FolderForGroup(group);
  if (ruledFolder != nullptr) {
    target = ruledFolder;
  } else if (!AppendGroupFolder(group, &target)) {
    return 0;
  }

  if (EqualIgnoringAsciiCase(target.c_str(), articleFolderId)) return 0;
  if (IsNewsFolder(target.c_str()) == 0) return 0;
  std::string copy = FindMailByMessageId(target.c_str(), messageId);
  return MarkRead(copy.c_str());
}

}  // namespace corvane
