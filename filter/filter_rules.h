// FilterRules: one mailbox's incoming-filter rules (IFilter.def).
//
// Answers into which folder the rules move a newsgroup's articles. The
// controller owns one per mailbox and deletes it through the virtual
// destructor. Used on the host's calling thread only, one call at a time.
//
// The rules file is read at the first lookup and again whenever its
// modification time has moved past that of the last reading; an ordinary
// lookup costs one file status query and one map lookup. No file stays open
// between calls.
//
// How the file is read: see RulesFileReader for the lines (CR LF reads as
// LF, at most 511 bytes a line). A NUL byte ends a line's text: the bytes
// after it, up to the line's end, are dropped, as they were never part of
// the line as a C string.
//
// When the file's time cannot be told:
// - At a lookup (the file has gone, or cannot be queried), the rules in
//   memory answer: the articles filed while the rules held stay where the
//   rules put them, and a host that rewrites the file by deleting and
//   recreating it does not empty the rule set in between. Before any
//   reading there are no rules, so the lookup answers null.
// - Right after a reading, the rule set counts as read at no known time:
//   the next lookup that finds the file reads it again, whatever its time.

#ifndef CORVANE_FILTER_FILTER_RULES_H_
#define CORVANE_FILTER_FILTER_RULES_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace corvane {

class FilterRules {
 public:
  // Copies both texts; does not touch the rules file.
  // REQUIRES: dataFolder and mailboxId are not null.
  FilterRules(const char* dataFolder, const char* mailboxId);
  virtual ~FilterRules();

  FilterRules(const FilterRules&) = delete;
  FilterRules& operator=(const FilterRules&) = delete;

  // The folder id into which the rules move `group`, or null for none.
  // Reads the rules file first when its time has advanced. The text stays
  // the rule set's, valid until its next reading or destruction.
  // REQUIRES: group is not null.
  virtual const char* FolderForGroup(const char* group);

  // Empties the rule set and rebuilds it from the rules file at `path`.
  // False when the file cannot be opened or reading it fails part-way: the
  // rule set then stays empty and the time of the last reading is kept, so
  // the next lookup tries again.
  // REQUIRES: path is not null.
  bool Load(const char* path);

 private:
  // Reads the rules file at `path` into groupFolders, block by block. False
  // when it cannot be opened or a read fails; closes the file either way.
  bool ReadRulesFile(const char* path);
  // Adds the rule of one block, the lines between two block markers, if it
  // has one and no earlier block gave its group a folder. Cuts the lines in
  // place.
  void AddRuleOfBlock(std::vector<std::string>& lines);

  // The data folder, the mailbox id and "IFilter.def", run together.
  std::string rulesPath;
  // Newsgroup to folder id, as read at the last reading. std::string orders
  // and matches by unsigned bytes, case-sensitively. An empty folder, left
  // by a lookup of a group without a rule, means no rule.
  std::map<std::string, std::string> groupFolders;
  // The rules file's modification time right after the last reading that
  // opened it; meaningful only while loadedTimeKnown.
  int64_t loadedTime = 0;
  // False before the first reading and when the time could not be read
  // after a reading. A flag rather than a special time, so that a file
  // dated at or before 1970 is read too.
  bool loadedTimeKnown = false;
};

}  // namespace corvane

#endif  // CORVANE_FILTER_FILTER_RULES_H_
