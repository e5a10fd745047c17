#include "filter/filter_rules.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/show_bytes.h"
#include "tests/fake_platform.h"

namespace corvane {

namespace {

using namespace std::string_literals;

constexpr char kDataFolder[] = "C:\\Data\\";
constexpr char kMailbox[] = "Box\\";
constexpr char kRulesPath[] = "C:\\Data\\Box\\IFilter.def";

using test::ShowBytes;

// Rule lines as the host writes them.
std::string Condition(const std::string& group) {
  return "@0:X-Gazzet-To:" + group + "\t0\n";
}
std::string Action(const std::string& folder) { return "!M:" + folder + "\n"; }
std::string Block(const std::string& lines) {
  return ":Begin\n" + lines + ":End\n";
}

// What FolderForGroup answers, with "(null)" for null.
std::string Answer(FilterRules& rules, const char* group) {
  const char* folder = rules.FolderForGroup(group);
  return folder == nullptr ? "(null)" : folder;
}

struct Lookup {
  const char* group;
  const char* folder;  // "(null)" for no rule
};

struct RulesCase {
  std::string content;
  std::vector<Lookup> lookups;
};

void CheckRules(const RulesCase cases[], size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const RulesCase& c = cases[i];
    SCOPED_TRACE(ShowBytes(c.content));
    test::FakePlatform platform;
    test::ScopedPlatform scoped(&platform);
    platform.files[kRulesPath] = {c.content, 100};
    FilterRules rules(kDataFolder, kMailbox);
    for (const Lookup& lookup : c.lookups) {
      EXPECT_EQ(lookup.folder, Answer(rules, lookup.group))
          << "group " << ShowBytes(lookup.group);
    }
    EXPECT_EQ(0, platform.openFileCount);
  }
}

const std::string kCondA = Condition("alt.a");
const std::string kCondB = Condition("alt.b");
const std::string kActF = Action("Box\\F\\");
const std::string kActG = Action("Box\\G\\");
constexpr char kNull[] = "(null)";

TEST(FilterRulesTest, BlockPairsOneGroupWithOneFolder) {
  const RulesCase cases[] = {
      {Block(kCondA + kActF), {{"alt.a", "Box\\F\\"}, {"alt.b", kNull}}},
      {Block(kActF + kCondA), {{"alt.a", "Box\\F\\"}}},
      {Block("Other line\n\n  !M:Box\\X\\\n" + kCondA + kActF),
       {{"alt.a", "Box\\F\\"}}},
      // The last condition before the first action gives the group.
      {Block(kCondA + kCondB + kActF),
       {{"alt.a", kNull}, {"alt.b", "Box\\F\\"}}},
      // Conditions after the rule is complete are not read.
      {Block(kActF + kCondA + kCondB),
       {{"alt.a", "Box\\F\\"}, {"alt.b", kNull}}},
      // The last action before the first condition gives the folder.
      {Block(kActF + kActG + kCondA), {{"alt.a", "Box\\G\\"}}},
      // The scan stops at the first line that finds the other half held,
      // even when its own value is empty.
      {Block(kCondA + "!M:\n" + kActF), {{"alt.a", kNull}}},
      {Block(kActF + "@0:X-Gazzet-To:\t0\n" + kCondA), {{"alt.a", kNull}}},
      // Half a rule, or nothing.
      {Block(kCondA + kCondB), {{"alt.a", kNull}, {"alt.b", kNull}}},
      {Block(kActF + kActG), {{"alt.a", kNull}}},
      {Block(""), {{"alt.a", kNull}}},
      {"", {{"alt.a", kNull}}},
      // The first block that yields a rule for a group decides.
      {Block(kCondA + kActF) + Block(kCondA + kActG), {{"alt.a", "Box\\F\\"}}},
      {Block(kCondA) + Block(kCondA + kActG) + Block(kCondA + kActF),
       {{"alt.a", "Box\\G\\"}}},
      {Block(kCondA + kActF) + Block(kCondB + kActG),
       {{"alt.a", "Box\\F\\"}, {"alt.b", "Box\\G\\"}}},
  };
  CheckRules(cases, std::size(cases));
}

TEST(FilterRulesTest, RecognisesBlockMarkers) {
  const RulesCase cases[] = {
      // Lines before the first block start still form a block.
      {kCondA + kActF + ":End\n", {{"alt.a", "Box\\F\\"}}},
      {":BEGIN\n" + kCondA + kActF + ":end\n", {{"alt.a", "Box\\F\\"}}},
      {":begin rule 1\n" + kCondA + kActF + ":ENDING\n",
       {{"alt.a", "Box\\F\\"}}},
      {":Begin\n" + kCondA + kActF + ":End", {{"alt.a", "Box\\F\\"}}},
      {":Begin\r\n" + kCondA + kActF + ":End\r\n", {{"alt.a", "Box\\F\\"}}},
      // A later block start drops the lines collected so far.
      {":Begin\n" + kCondA + ":Begin\n" + kActF + ":End\n", {{"alt.a", kNull}}},
      {":Begin\n" + kCondA + kActF + ":Begin\n:End\n", {{"alt.a", kNull}}},
      // Lines after the last block end are dropped.
      {Block(kCondA + kActF) + ":Begin\n" + kCondB + kActG,
       {{"alt.a", "Box\\F\\"}, {"alt.b", kNull}}},
      // A marker must start the line: these are ordinary lines.
      {":Begin\n" + kCondA + " :End\n" + kActF + ":End\n",
       {{"alt.a", "Box\\F\\"}}},
      {":Begin\n" + kCondA + ":En\n" + kActF + ":End\n",
       {{"alt.a", "Box\\F\\"}}},
      {":Begin\n" + kCondA + ":Begi\n" + kActF + ":End\n",
       {{"alt.a", "Box\\F\\"}}},
  };
  CheckRules(cases, std::size(cases));
}

TEST(FilterRulesTest, ReadsConditionsAndActions) {
  const RulesCase cases[] = {
      // Header name and action letter in any case.
      {Block("@0:x-gazzet-to:alt.a\t0\n!m:Box\\F\\\n"),
       {{"alt.a", "Box\\F\\"}}},
      // Not a condition: blank before ':', no '@', another header.
      {Block("@0:X-Gazzet-To :alt.a\t0\n" + kActF), {{"alt.a", kNull}}},
      {Block("0:X-Gazzet-To:alt.a\t0\n" + kActF), {{"alt.a", kNull}}},
      {Block("@0:Newsgroups:alt.a\t0\n" + kActF), {{"alt.a", kNull}}},
      // The group is cut only at a TAB, so without one it keeps the LF.
      {Block("@0:X-Gazzet-To:alt.a\n" + kActF),
       {{"alt.a", kNull}, {"alt.a\n", "Box\\F\\"}}},
      // A third ':' ends the group.
      {Block("@0:X-Gazzet-To:alt.a:more\n" + kActF), {{"alt.a", "Box\\F\\"}}},
      // Group names are matched byte for byte.
      {Block(Condition("Alt.A") + kActF),
       {{"alt.a", kNull}, {"Alt.A", "Box\\F\\"}}},
      {Block(Condition("fj.\x83\x65\x83\x58\x83\x67") + kActF),
       {{"fj.\x83\x65\x83\x58\x83\x67", "Box\\F\\"}}},
      // The action's line end goes, CR and all, and so does whatever
      // follows its last CR.
      {Block(kCondA + "!M:Box\\F\\\r\n"), {{"alt.a", "Box\\F\\"}}},
      {Block(kCondA + "!M:Box\\F\\\r\r\n"), {{"alt.a", "Box\\F\\"}}},
      {Block(kCondA + "!M:Box\\F\\\rjunk\n"), {{"alt.a", "Box\\F\\"}}},
      // Not an action: a ':' in the value, another action letter.
      {Block(kCondA + "!M:Box:F\\\n"), {{"alt.a", kNull}}},
      {Block(kCondA + "!C:Box\\F\\\n"), {{"alt.a", kNull}}},
      {Block(kCondA + "!MM:Box\\F\\\n"), {{"alt.a", kNull}}},
  };
  CheckRules(cases, std::size(cases));
}

TEST(FilterRulesTest, ReadsLinesThroughA512ByteBuffer) {
  const std::string x510(510, 'x');
  const std::string x511(511, 'x');
  // A condition with a group long enough to fill the buffer exactly.
  const std::string prefix = "@0:X-Gazzet-To:";
  const std::string longGroup(511 - prefix.size(), 'g');
  const std::string folder85(85, 'f');
  const std::string folder508(508, 'f');
  const RulesCase cases[] = {
      // A 600-byte physical line: 511 bytes of it, then an action of 89.
      {Block(kCondA + x511 + "!M:" + folder85 + "\n"),
       {{"alt.a", folder85.c_str()}}},
      // One byte shorter, the action is inside the line and not read.
      {Block(kCondA + x510 + "!M:" + folder85 + "\n"), {{"alt.a", kNull}}},
      // A condition cut by the buffer has no LF, and the rest of its
      // physical line is a line of its own, here a block end.
      {":Begin\n" + kActF + prefix + longGroup + ":End\n",
       {{longGroup.c_str(), "Box\\F\\"}}},
      // A CR LF pair after a full line is an empty line of its own.
      {Block(kCondA + "!M:" + folder508 + "\r\n"),
       {{"alt.a", folder508.c_str()}}},
  };
  CheckRules(cases, std::size(cases));
}

TEST(FilterRulesTest, NulEndsTheTextOfALine) {
  const RulesCase cases[] = {
      {Block(kCondA + "!M:Box\\F\\\0junk\n"s), {{"alt.a", "Box\\F\\"}}},
      // Cut at the NUL, the group loses its LF with the rest of the line.
      {Block("@0:X-Gazzet-To:alt.a\0\n"s + kActF), {{"alt.a", "Box\\F\\"}}},
      {Block("\0!M:Box\\G\\\n"s + kCondA + kActF), {{"alt.a", "Box\\F\\"}}},
      // A hidden block end is no block end.
      {":Begin\n" + kCondA + kActF + "\0:End\n"s, {{"alt.a", kNull}}},
  };
  CheckRules(cases, std::size(cases));
}

// The fake platform with the counts and faults the lifecycle needs.
class RulesPlatform : public test::FakePlatform {
 public:
  int opens = 0;
  int statusQueries = 0;
  bool failOpen = false;
  uint64_t failReadsFrom = UINT64_MAX;
  int failStatusQuery = 0;  // the 1-based query that fails; 0 for none

  FileHandle OpenFileForReading(const char* path) override {
    ++opens;
    return failOpen ? nullptr : FakePlatform::OpenFileForReading(path);
  }
  int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                     uint32_t size) override {
    if (offset >= failReadsFrom) return -1;
    return FakePlatform::ReadFileAt(file, offset, buffer, size);
  }
  bool QueryFileStatus(const char* path, int64_t* modified) override {
    if (++statusQueries == failStatusQuery) return false;
    return FakePlatform::QueryFileStatus(path, modified);
  }
};

class FilterRulesLifecycleTest : public testing::Test {
 protected:
  void WriteRules(const std::string& content, int64_t modified) {
    platform.files[kRulesPath] = {content, modified};
  }

  void TearDown() override { EXPECT_EQ(0, platform.openFileCount); }

  RulesPlatform platform;
  test::ScopedPlatform scoped{&platform};
  FilterRules rules{kDataFolder, kMailbox};
};

TEST_F(FilterRulesLifecycleTest, ReadsAgainOnlyWhenTheTimeAdvances) {
  WriteRules(Block(kCondA + kActF) + Block(kCondB + kActG), 100);
  EXPECT_EQ("Box\\F\\", Answer(rules, "alt.a"));
  EXPECT_EQ(1, platform.opens);

  // Check that an unchanged file costs one status query and no reading.
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.b"));
  EXPECT_EQ(kNull, Answer(rules, "alt.c"));
  EXPECT_EQ(1, platform.opens);
  EXPECT_EQ(2 + 2, platform.statusQueries);  // 2 for the first lookup

  // Check that a later time brings in changed rules and drops removed ones.
  WriteRules(Block(kCondA + kActG), 101);
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
  EXPECT_EQ(kNull, Answer(rules, "alt.b"));

  // Check that an equal or earlier time keeps the rules in memory.
  WriteRules(Block(kCondB + kActF), 101);
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
  WriteRules(Block(kCondB + kActF), 50);
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
  EXPECT_EQ(2, platform.opens);
}

TEST_F(FilterRulesLifecycleTest, MissingFileIsLookedForAtEveryLookup) {
  EXPECT_EQ(kNull, Answer(rules, "alt.a"));
  EXPECT_EQ(kNull, Answer(rules, "alt.a"));
  EXPECT_EQ(0, platform.opens);

  WriteRules(Block(kCondA + kActF), 5);
  EXPECT_EQ("Box\\F\\", Answer(rules, "alt.a"));
}

TEST_F(FilterRulesLifecycleTest, ReadsFileDatedAtOrBefore1970) {
  WriteRules(Block(kCondA + kActF), 0);
  EXPECT_EQ("Box\\F\\", Answer(rules, "alt.a"));

  FilterRules older(kDataFolder, kMailbox);
  WriteRules(Block(kCondA + kActG), -86400);
  EXPECT_EQ("Box\\G\\", Answer(older, "alt.a"));
}

TEST_F(FilterRulesLifecycleTest, DeletedFileLeavesRulesInMemory) {
  WriteRules(Block(kCondA + kActF), 100);
  EXPECT_EQ("Box\\F\\", Answer(rules, "alt.a"));

  platform.files.erase(kRulesPath);
  EXPECT_EQ("Box\\F\\", Answer(rules, "alt.a"));

  // Check that the file is read when it comes back with a later time.
  WriteRules(Block(kCondA + kActG), 101);
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
}

TEST_F(FilterRulesLifecycleTest, UnreadableFileEmptiesRulesUntilRead) {
  WriteRules(Block(kCondA + kActF) + std::string(20000, '\n'), 100);
  EXPECT_EQ("Box\\F\\", Answer(rules, "alt.a"));

  // Check that a file that cannot be opened empties the rules, and is tried
  // again at each lookup while its time stays later.
  WriteRules(Block(kCondA + kActG) + std::string(20000, '\n'), 200);
  platform.failOpen = true;
  EXPECT_EQ(kNull, Answer(rules, "alt.a"));
  EXPECT_EQ(kNull, Answer(rules, "alt.a"));
  EXPECT_EQ(3, platform.opens);

  // Check that a read failing after the first rule was read keeps nothing
  // of the file and is tried again as well.
  platform.failOpen = false;
  platform.failReadsFrom = 4096;
  EXPECT_EQ(kNull, Answer(rules, "alt.a"));
  EXPECT_EQ(kNull, Answer(rules, "alt.a"));
  EXPECT_EQ(5, platform.opens);

  platform.failReadsFrom = UINT64_MAX;
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
  EXPECT_EQ(6, platform.opens);
}

TEST_F(FilterRulesLifecycleTest, LoadFailureKeepsTheTimeOfTheLastReading) {
  WriteRules(Block(kCondA + kActF), 100);
  ASSERT_TRUE(rules.Load(kRulesPath));
  EXPECT_FALSE(rules.Load("C:\\Data\\Other\\IFilter.def"));
  // The rule set is empty, but the file at time 100 counts as read.
  EXPECT_EQ(kNull, Answer(rules, "alt.a"));
  EXPECT_EQ(2, platform.opens);
}

TEST_F(FilterRulesLifecycleTest, ReadsAgainWhenTheTimeAfterReadingIsUnknown) {
  WriteRules(Block(kCondA + kActF), 100);
  platform.failStatusQuery = 2;  // the one right after the first reading
  EXPECT_EQ("Box\\F\\", Answer(rules, "alt.a"));
  EXPECT_EQ(1, platform.opens);

  WriteRules(Block(kCondA + kActG), 100);
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
  EXPECT_EQ(2, platform.opens);
}

// The same story on real files, through the build's own platform.
class FilterRulesRealFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder = std::filesystem::path(testing::TempDir()) /
             ("corvane_filter_rules_" + std::to_string(random()));
    std::filesystem::create_directories(folder / "Box");
    rulesFile = folder / "Box" / "IFilter.def";
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  void WriteRules(const std::string& content) {
    std::ofstream(rulesFile, std::ios::binary | std::ios::trunc) << content;
  }
  // Moves the file's time by `seconds`, so no test has to wait for the
  // clock to tick.
  void MoveFileTime(int seconds) {
    std::filesystem::last_write_time(
        rulesFile, std::filesystem::last_write_time(rulesFile) +
                       std::chrono::seconds(seconds));
  }

  std::filesystem::path folder;
  std::filesystem::path rulesFile;
};

TEST_F(FilterRulesRealFileTest, FollowsTheFileByItsTime) {
  const std::string dataFolder = folder.string() + "/";
  FilterRules rules(dataFolder.c_str(), "Box/");
  EXPECT_EQ(kNull, Answer(rules, "alt.a"));

  WriteRules(":Begin\r\n@0:X-Gazzet-To:alt.a\t0\r\n!M:Box\\F\\\r\n:End\r\n");
  EXPECT_EQ("Box\\F\\", Answer(rules, "alt.a"));

  // Check that a change with a later time is read.
  WriteRules(Block(kCondA + kActG));
  MoveFileTime(10);
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));

  // Check that a change put back to the time already read is not.
  auto readTime = std::filesystem::last_write_time(rulesFile);
  WriteRules(Block(kCondB + kActF));
  std::filesystem::last_write_time(rulesFile, readTime);
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
  EXPECT_EQ(kNull, Answer(rules, "alt.b"));

  std::filesystem::remove(rulesFile);
  EXPECT_EQ("Box\\G\\", Answer(rules, "alt.a"));
}

TEST_F(FilterRulesRealFileTest, FolderInPlaceOfTheFileGivesNoRules) {
  std::filesystem::create_directory(rulesFile);
  const std::string dataFolder = folder.string() + "/";
  FilterRules rules(dataFolder.c_str(), "Box/");
  EXPECT_EQ(kNull, Answer(rules, "alt.a"));
}

}  // namespace

}  // namespace corvane
