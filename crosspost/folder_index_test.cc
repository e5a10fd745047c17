#include "crosspost/folder_index.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "crosspost/crosspost_reader.h"
#include "gtest/gtest.h"
#include "host/host_api.h"
#include "tests/fake_host_api.h"
#include "tests/fake_platform.h"
#include "tests/host_file_writer.h"
#include "tests/platform_wrapper.h"

namespace corvane {
namespace {

const char kPath[] = "data\\box\\g\\Folder.idx";
const char kHeader[] = "2 header\n";
const char kId[] = "<abc.123@host.example>";

// Every lookup runs with each of these, so that block boundaries fall on
// every byte of a record, and records are both carried whole and read back
// from the file.
const uint32_t kBlockSizes[] = {1, 2, 3, 5, 64, kFolderIndexBlockSize};

// A record of `fieldCount` fields with `key` in field 1 and `id` in field 6;
// the other fields hold their own numbers.
std::string Record(const std::string& key, const std::string& id,
                   int fieldCount = 14) {
  std::string record;
  for (int i = 0; i < fieldCount; ++i) {
    if (i > 0) record += '\x01';
    record += i == 1 ? key : i == 6 ? id : "f" + std::to_string(i);
  }
  return record;
}

// `record` with its field `field` replaced by `text`.
std::string WithField(std::string record, int field, const std::string& text) {
  size_t begin = 0;
  for (int i = 0; i < field; ++i) begin = record.find('\x01', begin) + 1;
  size_t end = std::min(record.find('\x01', begin), record.size());
  return record.replace(begin, end - begin, text);
}

const std::string kNul(1, '\0');

// Shows the bytes that a failure message would otherwise hide.
std::string Visible(const std::string& bytes) {
  std::string shown;
  for (char c : bytes) {
    switch (c) {
      case '\x01':
        shown += "^A";
        break;
      case '\n':
        shown += "\\n";
        break;
      case '\r':
        shown += "\\r";
        break;
      case '\0':
        shown += "\\0";
        break;
      default:
        shown += c;
    }
  }
  return shown.size() > 400 ? shown.substr(0, 400) + "..." : shown;
}

// Counts what the search asks of the files.
class CountingPlatform : public test::FakePlatform {
 public:
  int opens = 0;
  uint64_t bytesRead = 0;
  uint32_t largestRead = 0;

  FileHandle OpenFileForReading(const char* path) override {
    ++opens;
    return FakePlatform::OpenFileForReading(path);
  }
  int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                     uint32_t size) override {
    largestRead = std::max(largestRead, size);
    int64_t got = FakePlatform::ReadFileAt(file, offset, buffer, size);
    if (got > 0) bytesRead += static_cast<uint64_t>(got);
    return got;
  }
};

class FolderIndexTest : public ::testing::Test {
 protected:
  CountingPlatform platform;
  test::ScopedPlatform usingPlatform{&platform};
};

TEST_F(FolderIndexTest, RecordsMatchByTheirMessageIdField) {
  const std::string header = kHeader;
  const std::string early = Record("early", kId) + "\n";
  const std::string other = Record("other", "<zzz.999@host.example>") + "\n";
  // Holds the id in every field but 1 and 6.
  std::string crowded = Record("crowded", "x", 40);
  for (int field = 0; field < 40; ++field) {
    if (field != 1 && field != 6) crowded = WithField(crowded, field, kId);
  }
  struct Case {
    std::string content;
    std::string id;
    const char* key;  // null when nothing may match
  } cases[] = {
      // The file and its header.
      {"", kId, nullptr},
      {"1 header\n" + early, kId, nullptr},
      {"2", kId, nullptr},
      {"2 header", kId, nullptr},
      {header, kId, nullptr},
      {"2" + Record("head", kId).substr(2), kId, nullptr},
      {"2" + Record("head", kId).substr(2) + "\n", kId, nullptr},
      {"2" + Record("head", kId).substr(2) + "\n" + early, kId, "early"},
      {"\n" + early, kId, nullptr},
      {header + early, kId, "early"},
      {header + other + early + other, kId, "early"},
      // Fields: at least 14 count, more than 16 are fine.
      {header + Record("k", kId, 13) + "\n", kId, nullptr},
      {header + Record("k", kId, 15), kId, "k"},
      {header + Record("k", kId, 16), kId, "k"},
      {header + Record("k", kId, 17), kId, "k"},
      {header + Record("k", kId, 40), kId, "k"},
      {header + Record("", kId), kId, ""},
      {header + early + Record("k", kId, 13), kId, "early"},
      // Only field 6, whole, and only ASCII letters fold.
      {header + WithField(Record("k", "x"), 5, kId), kId, nullptr},
      {header + WithField(Record("k", "x"), 7, kId), kId, nullptr},
      {header + early + WithField(Record("k", "x"), 7, kId), kId, "early"},
      {header + crowded, kId, nullptr},
      {header + early + crowded + "\n" + crowded, kId, "early"},
      {header + Record("k", "<ABC.123@Host.EXAMPLE>"), kId, "k"},
      {header + Record("k", kId), "<ABC.123@HOST.EXAMPLE>", "k"},
      {header + Record("k", "X"), "x", "k"},
      {header + Record("k", "xY"), "Xy", "k"},
      {header + Record("k", "{a@b}"), "[a`b]", nullptr},
      {header + Record("k", "@x`"), "`x@", nullptr},
      {header + Record("k", "`"), "@", nullptr},
      {header + Record("k", "\xC4\xD6"), "\xE4\xF6", nullptr},
      {header + early + Record("k", std::string(5000, 'a')),
       std::string(5000, 'A'), "k"},
      {header + Record("k", std::string(" ") + kId), kId, nullptr},
      {header + Record("k", std::string(kId) + " "), kId, nullptr},
      {header + Record("k", std::string(kId) + "x"), kId, nullptr},
      {header + Record("k", std::string(kId).substr(1)), kId, nullptr},
      {header + Record("k", "<a>\x01<b>"), "<a>\x01<b>", nullptr},
      {header + Record("k", "<a>") + "\n<b>", "<a>\n<b>", nullptr},
      // The match nearest the end wins; the last line needs no line feed.
      {header + early + Record("late", kId) + "\n", kId, "late"},
      {header + early + Record("late", kId), kId, "late"},
      {header + early + Record("late", kId) + "\n\n\n", kId, "late"},
      {header + early + other + "\n\nx\n", kId, "early"},
      // A NUL ends its own record and nothing else.
      {"2 he" + kNul + "ader\n" + early, kId, "early"},
      {header + "x" + kNul + "y\n" + early, kId, "early"},
      {header + "x" + kNul + "\n" + early + "y" + kNul, kId, "early"},
      {header + early + kNul + Record("late", kId), kId, "early"},
      {header + early + WithField(Record("late", kId), 12, "a" + kNul), kId,
       "early"},
      {header + early + WithField(Record("late", kId), 13, "a" + kNul), kId,
       "late"},
      {header + early + WithField(Record("late", kId), 6, "<abc" + kNul), kId,
       "early"},
      // CR LF line ends leave fields 1 and 6 alone.
      {"2 header\r\n" + Record("k", kId) + "\r\n", kId, "k"},
      {"2 header\r\n" + Record("k", kId) + "\r\n" + Record("x", "y") + "\r\n",
       kId, "k"},
      // Records far longer than a block, matching or in the way.
      {header + WithField(Record("k", kId), 3, std::string(300, 'a')), kId,
       "k"},
      {header + early + WithField(Record("k", kId), 13, std::string(300, 'a')),
       kId, "k"},
      {header + early + WithField(Record("k", "x"), 3, std::string(300, 'a')),
       kId, "early"},
  };
  for (const Case& c : cases) {
    for (uint32_t blockSize : kBlockSizes) {
      SCOPED_TRACE(::testing::Message()
                   << "content \"" << Visible(c.content) << "\", id \""
                   << Visible(c.id) << "\", block size " << blockSize);
      platform.files[kPath].content = c.content;
      std::string key = "unchanged";
      bool found =
          FindKeyByMessageIdInBlocks(kPath, c.id.c_str(), blockSize, &key);
      EXPECT_EQ(c.key != nullptr, found);
      EXPECT_EQ(c.key != nullptr ? c.key : "unchanged", key);
      EXPECT_EQ(0, platform.openFileCount);
    }
  }
}

TEST_F(FolderIndexTest, KeyLongerThanABlockComesOutWhole) {
  std::string longKey(300, 'k');
  platform.files[kPath].content =
      kHeader + Record("early", kId) + "\n" + Record(longKey, kId) + "\n";
  for (uint32_t blockSize : kBlockSizes) {
    SCOPED_TRACE(::testing::Message() << "block size " << blockSize);
    std::string key;
    EXPECT_TRUE(FindKeyByMessageIdInBlocks(kPath, kId, blockSize, &key));
    EXPECT_EQ(longKey, key);
  }
}

TEST_F(FolderIndexTest, MissingIndexOrEmptyIdFindsNothing) {
  std::string key = "unchanged";
  EXPECT_FALSE(FindKeyByMessageId(kPath, kId, &key));
  EXPECT_EQ(1, platform.opens);

  // Check that an empty message id does not even open an index that holds
  // a record with an empty field 6.
  platform.opens = 0;
  platform.files[kPath].content = kHeader + Record("k", "");
  EXPECT_FALSE(FindKeyByMessageId(kPath, "", &key));
  EXPECT_FALSE(FindKeyByMessageId(kPath, nullptr, &key));
  EXPECT_EQ(0, platform.opens);
  EXPECT_EQ("unchanged", key);
}

// Builds an index of `count` records; record i has key "k<i>" and id
// "<i@host.example>".
std::string IndexOf(int count) {
  std::string index = kHeader;
  for (int i = 0; i < count; ++i) {
    index += Record("k" + std::to_string(i),
                    "<" + std::to_string(i) + "@host.example>", 16) +
             "\n";
  }
  return index;
}

TEST_F(FolderIndexTest, ReadsOnlyWhatLiesBetweenTheMatchAndTheEnd) {
  const int kCount = 20000;  // about 1.5 MB
  platform.files[kPath].content = IndexOf(kCount);
  const uint64_t size = platform.files[kPath].content.size();

  std::string key;
  ASSERT_TRUE(FindKeyByMessageId(kPath, "<19990@host.example>", &key));
  EXPECT_EQ("k19990", key);
  EXPECT_LE(platform.bytesRead, 1 + uint64_t{kFolderIndexBlockSize});

  // Check that a match at the start reads the file once, a block at a time.
  platform.bytesRead = 0;
  platform.largestRead = 0;
  ASSERT_TRUE(
      FindKeyByMessageIdInBlocks(kPath, "<0@host.example>", 4096, &key));
  EXPECT_EQ("k0", key);
  EXPECT_EQ(1 + size, platform.bytesRead);
  EXPECT_LE(platform.largestRead, 4096u);
}

TEST_F(FolderIndexTest, SearchesOnlyTheLengthTakenAtTheStart) {
  // Stands for the host appending to the index while the lookup reads it.
  class AppendingPlatform : public CountingPlatform {
   public:
    int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                       uint32_t size) override {
      files[kPath].content += Record("appended", kId) + "\n";
      return CountingPlatform::ReadFileAt(file, offset, buffer, size);
    }
  } appending;
  test::ScopedPlatform usingAppending(&appending);
  for (uint32_t blockSize : kBlockSizes) {
    SCOPED_TRACE(::testing::Message() << "block size " << blockSize);
    appending.files[kPath].content = kHeader + Record("old", kId) + "\n";
    std::string key;
    EXPECT_TRUE(FindKeyByMessageIdInBlocks(kPath, kId, blockSize, &key));
    EXPECT_EQ("old", key);
  }
}

TEST_F(FolderIndexTest, ReadsThatFallShortAreContinuedOrEndTheSearch) {
  // Hands out at most `most` bytes a read, and fails at the `failAt`th
  // read.
  class StingyPlatform : public CountingPlatform {
   public:
    uint32_t most = 3;
    int failAt = -1;
    int64_t failWith = -1;
    int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                       uint32_t size) override {
      if (failAt-- == 0) return failWith;
      return CountingPlatform::ReadFileAt(file, offset, buffer,
                                          std::min(size, most));
    }
  } stingy;
  test::ScopedPlatform usingStingy(&stingy);
  stingy.files[kPath].content = IndexOf(50);
  std::string key;
  EXPECT_TRUE(FindKeyByMessageIdInBlocks(kPath, "<0@host.example>", 64, &key));
  EXPECT_EQ("k0", key);

  // Check that a read that fails, or finds the file cut short, anywhere on
  // the way ends the search with nothing found and the file closed.
  for (int64_t failure : {int64_t{-1}, int64_t{0}}) {
    for (int failAt = 0; failAt < 40; ++failAt) {
      SCOPED_TRACE(::testing::Message()
                   << "read " << failAt << " gives " << failure);
      stingy.failAt = failAt;
      stingy.failWith = failure;
      key = "unchanged";
      EXPECT_FALSE(
          FindKeyByMessageIdInBlocks(kPath, "<0@host.example>", 64, &key));
      EXPECT_EQ("unchanged", key);
      EXPECT_EQ(0, stingy.openFileCount);
    }
  }
}

// Serves an index of `length` bytes without holding it: one filler record
// over and over, with a few texts placed over it at chosen offsets.
class VirtualIndexPlatform : public test::FakePlatform {
 public:
  uint64_t length = 0;
  std::string filler;
  std::map<uint64_t, std::string> placed;

  FileHandle OpenFileForReading(const char* path) override {
    if (std::strcmp(path, kPath) != 0) return nullptr;
    ++openFileCount;
    return this;
  }
  bool GetFileLength(FileHandle, uint64_t* size) override {
    *size = length;
    return true;
  }
  int64_t ReadFileAt(FileHandle, uint64_t offset, void* buffer,
                     uint32_t size) override {
    if (offset >= length) return 0;
    uint64_t end = std::min<uint64_t>(offset + size, length);
    char* out = static_cast<char*>(buffer);
    for (uint64_t at = offset; at < end;) {
      size_t inFiller = static_cast<size_t>(at % filler.size());
      size_t run = static_cast<size_t>(
          std::min<uint64_t>(filler.size() - inFiller, end - at));
      std::memcpy(out + (at - offset), filler.data() + inFiller, run);
      at += run;
    }
    for (const auto& [where, text] : placed) {
      uint64_t from = std::max(where, offset);
      uint64_t to = std::min<uint64_t>(where + text.size(), end);
      if (from < to) {
        std::memcpy(out + (from - offset), text.data() + (from - where),
                    static_cast<size_t>(to - from));
      }
    }
    return static_cast<int64_t>(end - offset);
  }
};

class LargeIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    index.length = (uint64_t{1} << 32) + 1024;
    index.filler = Record("0", "<filler@host.example>", 16) + "\n";
    index.placed[0] = kHeader;
  }

  VirtualIndexPlatform index;
  test::ScopedPlatform usingIndex{&index};
};

TEST_F(LargeIndexTest, FindsTheMatchBeyondFourGibibytes) {
  // A search that took the length or the offsets as 32-bit counts would
  // see only the first kilobyte, and the decoy in it.
  index.placed[100] = "\n" + Record("decoy", kId) + "\n";
  index.placed[(uint64_t{1} << 32) - 40] = "\n" + Record("high", kId) + "\n";
  for (uint32_t blockSize : kBlockSizes) {
    SCOPED_TRACE(::testing::Message() << "block size " << blockSize);
    std::string key;
    EXPECT_TRUE(FindKeyByMessageIdInBlocks(kPath, kId, blockSize, &key));
    EXPECT_EQ("high", key);
    EXPECT_EQ(0, index.openFileCount);
  }
}

// FindMailByMessageId and IsNewsFolder, from the folder id to the files.
class FolderLookupTest : public ::testing::Test {
 protected:
  test::FakeHost host;  // data folder "data\"
  test::ScopedFakeHostApi usingHost{&host};
  CountingPlatform platform;
  test::ScopedPlatform usingPlatform{&platform};
  CrosspostReader reader;
};

TEST_F(FolderLookupTest, FindsTheCopyAndTellsNewsFolders) {
  platform.files["data\\box\\g\\Folder.idx"].content =
      kHeader + Record("17", kId) + "\n";
  platform.files["data\\box\\g\\news.ini"];
  EXPECT_EQ("box\\g\\?17", reader.FindMailByMessageId("box\\g\\", kId));
  EXPECT_EQ("box\\g\\?17",
            reader.FindMailByMessageId("box\\g\\", "<ABC.123@host.example>"));
  EXPECT_EQ("", reader.FindMailByMessageId("box\\g\\", "<other@host>"));
  EXPECT_EQ("", reader.FindMailByMessageId("box\\h\\", kId));
  EXPECT_EQ(1, reader.IsNewsFolder("box\\g\\"));
  EXPECT_EQ(0, reader.IsNewsFolder("box\\h\\"));
  EXPECT_EQ(0, platform.openFileCount);

  platform.opens = 0;
  EXPECT_EQ("", reader.FindMailByMessageId("box\\g\\", ""));
  EXPECT_EQ(0, platform.opens);
}

TEST_F(FolderLookupTest, PathsThatDoNotFitTheHostsBufferNameNothing) {
  // The composed path with its terminator must fit 260 bytes. Files wait at
  // the full path and at the path cut to fit, so that neither a missing
  // check nor a silent cut can pass.
  struct Case {
    size_t pathLength;
    bool fits;
  } cases[] = {{258, true}, {259, true}, {260, false}, {300, false}};
  for (const Case& c : cases) {
    for (const char* fileName : {"Folder.idx", "news.ini"}) {
      SCOPED_TRACE(::testing::Message()
                   << fileName << " path of " << c.pathLength << " bytes");
      size_t idLength =
          c.pathLength - host.dataFolder.size() - std::strlen(fileName);
      std::string folderId(idLength - 1, 'f');
      folderId += '\\';
      std::string path = host.dataFolder + folderId + fileName;
      platform.files.clear();
      for (const std::string& where : {path, path.substr(0, 259)}) {
        platform.files[where].content = kHeader + Record("k", kId) + "\n";
      }
      bool isIndex = std::strcmp(fileName, "Folder.idx") == 0;
      if (isIndex) {
        EXPECT_EQ(c.fits ? folderId + "?k" : "",
                  reader.FindMailByMessageId(folderId.c_str(), kId));
      } else {
        EXPECT_EQ(c.fits ? 1 : 0, reader.IsNewsFolder(folderId.c_str()));
      }
    }
  }
}

const char* CORVANE_STDCALL NoDataFolder() { return nullptr; }

TEST_F(FolderLookupTest, NoDataFolderFindsNothing) {
  hostApi.entries[kBKA_GetDataFolder] =
      reinterpret_cast<ExportedFunction>(&NoDataFolder);
  platform.files["Folder.idx"].content = kHeader + Record("k", kId) + "\n";
  platform.files["news.ini"];
  EXPECT_EQ("", reader.FindMailByMessageId("", kId));
  EXPECT_EQ(0, reader.IsNewsFolder(""));
  EXPECT_EQ(0, platform.opens);
}

// The real platform on a real index file, which the host holds open for
// writing as it does while it runs.
class SharedIndexFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* test =
        ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("corvane-" + std::string(test->name()) + "-" +
              std::to_string(
                  std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(folder);
    path = (folder / "Folder.idx").string();
    std::ofstream(path, std::ios::binary)
        << kHeader << Record("old", kId) << "\n";
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  std::string Content() const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path folder;
  std::string path;
};

TEST_F(SharedIndexFileTest, LookupReadsWhileTheHostWrites) {
  test::HostFileWriter host(path);
  ASSERT_TRUE(host.IsOpen());
  std::string key;
  EXPECT_TRUE(FindKeyByMessageId(path.c_str(), kId, &key));
  EXPECT_EQ("old", key);

  ASSERT_TRUE(host.Append(Record("new", kId) + "\n"));
  EXPECT_TRUE(FindKeyByMessageId(path.c_str(), kId, &key));
  EXPECT_EQ("new", key);
}

TEST_F(SharedIndexFileTest, HostWritesWhileTheLookupHoldsTheIndex) {
  // Opens the host's handle and appends while the lookup's handle is open.
  class HostWritingMidway : public test::PlatformWrapper {
   public:
    explicit HostWritingMidway(const std::string& path)
        : PlatformWrapper(Platform::Current()), path(path) {}
    int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                       uint32_t size) override {
      if (!tried) {
        tried = true;
        test::HostFileWriter host(path);
        wrote = host.IsOpen() && host.Append(Record("new", kId) + "\n");
      }
      return PlatformWrapper::ReadFileAt(file, offset, buffer, size);
    }
    std::string path;
    bool tried = false;
    bool wrote = false;
  } midway(path);
  test::ScopedPlatform usingMidway(&midway);

  std::string key;
  EXPECT_TRUE(FindKeyByMessageId(path.c_str(), kId, &key));
  EXPECT_TRUE(midway.wrote);
  EXPECT_EQ("old", key);  // written after the lookup took the length
  EXPECT_EQ(std::string(kHeader) + Record("old", kId) + "\n" +
                Record("new", kId) + "\n",
            Content());
}

}  // namespace
}  // namespace corvane
