// CrosspostReader: the plug-in's one controller.
//
// The shell creates it when the host starts the plug-in, hands it every mail
// the user opens, and destroys it when the host ends the plug-in. It decides
// when an opened article has become read and marks the article's copies in
// the other newsgroup folders of the current mailbox read as well.
//
// Every operation is virtual and is called through the object, also from
// within the class, so that a test can watch or replace any step. Each step
// lives in a file of its own: crosspost_reader.cc (OnOpenMail),
// propagation.cc, folder_resolution.cc, folder_lookup.cc, read_marking.cc.
//
// Failures end the work for an article or group quietly: a missing header,
// folder, index or copy marks nothing. An id or path that would not fit the
// host's own 260-byte buffers names nothing the host keeps, and is skipped.
// Runs on the host's calling thread, one call at a time; takes no lock.

#ifndef CORVANE_CROSSPOST_CROSSPOST_READER_H_
#define CORVANE_CROSSPOST_CROSSPOST_READER_H_

#include <map>
#include <memory>
#include <string>

#include "filter/filter_rules.h"

namespace corvane {

// Header name to header value. The caller puts in the names it wants, each
// with an empty value; FetchHeaders fills in the values. std::string orders
// by unsigned bytes, a prefix first, as every map of the plug-in does.
using HeaderMap = std::map<std::string, std::string>;

class CrosspostReader {
 public:
  CrosspostReader();
  // Deletes the rule sets in ascending mailbox order and drops a pending
  // mail id without propagating it.
  virtual ~CrosspostReader();

  CrosspostReader(const CrosspostReader&) = delete;
  CrosspostReader& operator=(const CrosspostReader&) = delete;

  // Called for every mail the user opens. Propagates the pending mail if the
  // host now reports it read, then propagates, remembers or forgets
  // `mailId` by its read flag and the host's AlwaysRead setting. Keeps only
  // a copy of `mailId`.
  virtual void OnOpenMail(const char* mailId);
  // Marks the copies of the read article `mailId` in the other newsgroups
  // of its Xref header read.
  virtual void PropagateRead(const char* mailId);
  // Fills the values of `headers` from the host's header text of `mailId`.
  // 1 when the host gave a header text, 0 (map untouched) when it gave none.
  virtual int FetchHeaders(const char* mailId, HeaderMap& headers);
  // Finds the folder of `group` in the current mailbox and marks the copy
  // of message `messageId` there read. 1 when a copy was marked, else 0.
  // `group` is the caller's working text and may be cut in place.
  virtual int MarkCopyInGroup(const char* articleFolderId, char* group,
                              const char* messageId);
  // The mail id of the message `messageId` in folder `folderId`, or empty.
  virtual std::string FindMailByMessageId(const char* folderId,
                                          const char* messageId);
  // Writes a trace line and asks the host to mark `mailId` read. 1 when
  // asked; 0, doing nothing, for an empty id or a host without
  // BKA_SetStatus.
  virtual int MarkRead(const char* mailId);
  // 1 when `folderId` holds news.ini, else 0.
  virtual int IsNewsFolder(const char* folderId);

 protected:
  const std::string& PendingMailId() const { return pendingMailId; }

 private:
  // The rules of `mailboxId`, made at the first need; null when the host
  // names no data folder.
  FilterRules* RulesForMailbox(const char* mailboxId);

  // The opened mail still waiting to become read; empty when none.
  std::string pendingMailId;
  // Mailbox id to that mailbox's incoming-filter rules, made at first need
  // and kept for the controller's life.
  std::map<std::string, std::unique_ptr<FilterRules>> rulesByMailbox;
};

}  // namespace corvane

#endif  // CORVANE_CROSSPOST_CROSSPOST_READER_H_
