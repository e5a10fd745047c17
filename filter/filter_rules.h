// FilterRules: one mailbox's incoming-filter rules (IFilter.def).
//
// Answers into which folder the rules move a newsgroup's articles. The
// controller owns one per mailbox and deletes it through the virtual
// destructor. Used on the host's calling thread only.

#ifndef CORVANE_FILTER_FILTER_RULES_H_
#define CORVANE_FILTER_FILTER_RULES_H_

#include <string>

namespace corvane {

class FilterRules {
 public:
  // Copies both texts; does not touch the rules file.
  FilterRules(const char* dataFolder, const char* mailboxId);
  virtual ~FilterRules();

  FilterRules(const FilterRules&) = delete;
  FilterRules& operator=(const FilterRules&) = delete;

  // The folder id into which the rules move `group`, or null for none. The
  // text stays the rule set's, valid until its next reload or destruction.
  virtual const char* FolderForGroup(const char* group);

 private:
  // The data folder, the mailbox id and "IFilter.def", run together.
  std::string rulesPath;
};

}  // namespace corvane

#endif  // CORVANE_FILTER_FILTER_RULES_H_
