// Feeds arbitrary bytes to FilterRules as a mailbox's IFilter.def, through
// the in-memory platform, and checks what must hold for any file:
// - the lines handed over are the file with CR LF read as LF, in pieces of
//   at most 511 bytes, whatever the size of the blocks it is read in;
// - every answer is null or a non-empty folder id without an LF;
// - an unchanged file answers the same, and reading it again changes no
//   answer.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "filter/filter_rules.h"
#include "filter/rules_file_reader.h"
#include "tests/fake_platform.h"

namespace {

constexpr char kDataFolder[] = "C:\\Data\\";
constexpr char kMailbox[] = "Box\\";
constexpr char kRulesPath[] = "C:\\Data\\Box\\IFilter.def";
constexpr int kLineSize = 512;

void Check(bool holds) {
  if (!holds) std::abort();
}

std::string TranslateLineEnds(const std::string& content) {
  std::string text;
  for (size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\r' && i + 1 < content.size() &&
        content[i + 1] == '\n') {
      continue;
    }
    text += content[i];
  }
  return text;
}

std::vector<std::string> ReadLines(uint32_t blockSize) {
  corvane::RulesFileReader reader(blockSize);
  Check(reader.Open(kRulesPath));
  std::vector<std::string> lines;
  char line[kLineSize];
  int count;
  while ((count = reader.ReadLine(line, kLineSize)) > 0) {
    Check(count < kLineSize && line[count] == '\0');
    lines.emplace_back(line, count);
  }
  Check(!reader.Failed());
  return lines;
}

void CheckLines(const std::string& content, uint32_t blockSize) {
  std::vector<std::string> lines = ReadLines(blockSize);
  Check(lines == ReadLines(corvane::RulesFileReader::kDefaultBlockSize));
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    size_t lf = line.find('\n');
    // Only the last line may end short of both an LF and a full buffer.
    Check(lf == line.size() - 1 ||
          (lf == std::string::npos &&
           (line.size() == kLineSize - 1 || i + 1 == lines.size())));
    joined += line;
  }
  Check(joined == TranslateLineEnds(content));
}

// Groups to look up: some fixed ones, and from each line of the input the
// text after its last ':' up to a TAB, with and without the LF.
std::vector<std::string> GroupsToLookUp(const std::string& content) {
  std::vector<std::string> groups = {"alt.test", "fj.comp", "", "\n"};
  size_t start = 0;
  while (start < content.size() && groups.size() < 64) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size() - 1;
    std::string line = content.substr(start, end + 1 - start);
    size_t colon = line.rfind(':');
    std::string group =
        colon == std::string::npos ? line : line.substr(colon + 1);
    group = group.substr(0, group.find('\t'));
    group = group.substr(0, group.find('\0'));
    groups.push_back(group);
    if (!group.empty() && group.back() == '\n') group.pop_back();
    groups.push_back(group);
    start = end + 1;
  }
  return groups;
}

std::vector<std::string> Answers(corvane::FilterRules& rules,
                                 const std::vector<std::string>& groups) {
  std::vector<std::string> answers;
  for (const std::string& group : groups) {
    const char* folder = rules.FolderForGroup(group.c_str());
    if (folder != nullptr) {
      Check(*folder != '\0' && std::strchr(folder, '\n') == nullptr);
    }
    answers.push_back(folder == nullptr ? "(null)" : folder);
  }
  return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  corvane::test::FakePlatform platform;
  corvane::test::ScopedPlatform scoped(&platform);
  platform.files[kRulesPath] = {content, 100};

  CheckLines(content, 1 + (size == 0 ? 0 : data[0] % 13));

  std::vector<std::string> groups = GroupsToLookUp(content);
  corvane::FilterRules rules(kDataFolder, kMailbox);
  std::vector<std::string> answers = Answers(rules, groups);
  Check(Answers(rules, groups) == answers);
  platform.files[kRulesPath].modified = 101;
  Check(Answers(rules, groups) == answers);
  Check(platform.openFileCount == 0);
  return 0;
}
