#include "filter/filter_rules.h"

#include <cstring>

#include "filter/rules_file_reader.h"
#include "parse/text_split.h"
#include "platform/platform.h"

namespace corvane {

namespace {

// The rules file was always read through a line buffer of this size, so
// the host's files are laid out for it: a longer physical line arrives in
// pieces of 511 bytes, each taken as a line of its own.
constexpr int kLineBufferSize = 512;

char FoldAsciiCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when `text` begins with `prefix`, with ASCII letters in any case.
bool StartsWithIgnoringCase(const char* text, const char* prefix) {
  // A shorter `text` fails at its NUL, which matches no prefix byte.
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (FoldAsciiCase(*text) != FoldAsciiCase(*prefix)) return false;
  }
  return true;
}

bool EqualsIgnoringCase(const char* text, const char* other) {
  return StartsWithIgnoringCase(text, other) &&
         text[std::strlen(other)] == '\0';
}

bool IsBlockStart(const char* line) {
  return StartsWithIgnoringCase(line, ":Begin");
}

bool IsBlockEnd(const char* line) {
  return StartsWithIgnoringCase(line, ":End");
}

enum class RuleLine { kOther, kCondition, kAction };

// Cuts `value` at its last CR and then at its last LF, taking off the line
// end whether or not the CR of a CR LF pair survived reading.
char* CutLineEnd(char* value) {
  char* cr = std::strrchr(value, '\r');
  if (cr != nullptr) *cr = '\0';
  char* lf = std::strrchr(value, '\n');
  if (lf != nullptr) *lf = '\0';
  return value;
}

// Splits one line of a block in place and tells which kind of rule line it
// is. Sets `*value` to the newsgroup of a condition or to the folder id of
// an action.
RuleLine ReadRuleLine(char* line, const char** value) {
  char* fields[3];
  int count = SplitFields(line, ':', fields, 3);
  if (count == 3 && fields[0][0] == '@' &&
      EqualsIgnoringCase(fields[1], "X-Gazzet-To")) {
    // The group is the first of the value's TAB-separated fields; none of
    // the others is read. Nothing else is cut off: without a TAB the group
    // keeps the line's LF.
    char* valueFields[8];
    SplitFields(fields[2], '\t', valueFields, 8);
    *value = valueFields[0];
    return RuleLine::kCondition;
  }
  if (count == 2 && EqualsIgnoringCase(fields[0], "!M")) {
    *value = CutLineEnd(fields[1]);
    return RuleLine::kAction;
  }
  return RuleLine::kOther;
}

}  // namespace

FilterRules::FilterRules(const char* dataFolder, const char* mailboxId)
    : rulesPath(std::string(dataFolder) + mailboxId + "IFilter.def") {}

FilterRules::~FilterRules() = default;

const char* FilterRules::FolderForGroup(const char* group) {
  int64_t modified = 0;
  // A file whose time cannot be told is not read: the rules in memory go on
  // answering (see the header).
  if (Platform::Current().QueryFileStatus(rulesPath.c_str(), &modified) &&
      (!loadedTimeKnown || modified > loadedTime)) {
    if (!Load(rulesPath.c_str())) return nullptr;
  }
  const std::string& folder = groupFolders[group];
  return folder.empty() ? nullptr : folder.c_str();
}

bool FilterRules::Load(const char* path) {
  groupFolders.clear();
  if (!ReadRulesFile(path)) {
    // Part of a file is not its rules: answering from it would hide the
    // rest until the file next changes.
    groupFolders.clear();
    return false;
  }
  int64_t modified = 0;
  loadedTimeKnown = Platform::Current().QueryFileStatus(path, &modified);
  if (loadedTimeKnown) loadedTime = modified;
  return true;
}

bool FilterRules::ReadRulesFile(const char* path) {
  RulesFileReader reader;
  if (!reader.Open(path)) return false;
  // Only the lines of the block being read are held.
  std::vector<std::string> lines;
  char line[kLineBufferSize];
  while (reader.ReadLine(line, kLineBufferSize) > 0) {
    if (IsBlockStart(line)) {
      lines.clear();
    } else if (IsBlockEnd(line)) {
      AddRuleOfBlock(lines);
      lines.clear();
    } else {
      // Up to the first NUL only: a line is a C string.
      lines.emplace_back(line);
    }
  }
  return !reader.Failed();
}

void FilterRules::AddRuleOfBlock(std::vector<std::string>& lines) {
  const char* group = "";
  const char* folder = "";
  for (std::string& line : lines) {
    const char* value = nullptr;
    RuleLine kind = ReadRuleLine(line.data(), &value);
    // The first line at which the other half of the rule is already held
    // ends the block's scan, even when this line's own value is empty.
    if (kind == RuleLine::kAction) {
      folder = value;
      if (*group != '\0') break;
    } else if (kind == RuleLine::kCondition) {
      group = value;
      if (*folder != '\0') break;
    }
  }
  if (*group == '\0' || *folder == '\0') return;
  // The first block that gives a group a folder decides it.
  std::string& entry = groupFolders[group];
  if (entry.empty()) entry = folder;
}

}  // namespace corvane
