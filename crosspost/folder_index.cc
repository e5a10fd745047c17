#include "crosspost/folder_index.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <new>

#include "crosspost/folder_index_match.h"
#include "platform/platform.h"

namespace corvane {

namespace {

constexpr char kIndexVersion = '2';

// Closes the index on every way out of a lookup.
class OpenFile {
 public:
  OpenFile(Platform& platform, FileHandle handle)
      : platform(platform), handle(handle) {}
  ~OpenFile() { platform.CloseFile(handle); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

 private:
  Platform& platform;
  FileHandle handle;
};

// The last line feed in [begin, end), or null. Scans forward with memchr,
// which every C library makes fast, where a byte loop backwards would not be.
const char* FindLastLineFeed(const char* begin, const char* end) {
  const char* last = nullptr;
  while (begin < end) {
    const void* found = std::memchr(begin, '\n', end - begin);
    if (found == nullptr) break;
    last = static_cast<const char*>(found);
    begin = last + 1;
  }
  return last;
}

// The start of the record that holds `inside`: just after the line feed
// before it, or `begin`. Records are short, so a byte loop is the cheapest.
const char* FindRecordStart(const char* begin, const char* inside) {
  while (inside > begin && inside[-1] != '\n') --inside;
  return inside;
}

// One lookup in one open index of `length` bytes.
//
// The file is read backwards, block by block, into the back of a buffer of
// two blocks. Each block goes just before the carry: the head of a record
// whose start lies in blocks not yet read. Once a block brings a line feed,
// everything after it up to the end of the carry is whole records, which
// are searched in place; what lies before it becomes the next carry. A head
// that grows beyond one block is not carried: the search only remembers
// where that record ends, keeps reading back to its start and then reads
// the record again from the file, forward, in block-sized pieces.
class IndexSearch {
 public:
  // REQUIRES: `id` is as FindKeyByMessageIdInBlocks accepts it, and outlives
  // the search.
  IndexSearch(Platform& platform, FileHandle file, uint64_t length,
              const char* id, size_t idLength, uint32_t blockSize)
      : platform(platform),
        file(file),
        length(length),
        id(id),
        idLength(idLength),
        blockSize(blockSize),
        finder(id, idLength),
        buffer(new char[2 * size_t{blockSize}]),
        bufferEnd(buffer.get() + 2 * size_t{blockSize}) {}

  // Stores the key of the match nearest the end in `*key` and returns true;
  // false, `*key` untouched, when there is none or the file fails.
  bool Run(std::string* key);

 private:
  enum Step { kFound, kNotFound, kGoOn };

  Step SearchBlock(uint64_t offset, uint32_t size, std::string* key);
  void KeepHead(uint64_t offset, const char* block, const char* headEnd);
  bool SearchWholeRecords(const char* begin, const char* end, std::string* key);
  Step MatchRecordInFile(uint64_t begin, uint64_t end, std::string* key);
  bool ReadExactly(uint64_t offset, char* buffer, uint64_t size);

  Platform& platform;
  const FileHandle file;
  const uint64_t length;
  const char* const id;
  const size_t idLength;
  const uint32_t blockSize;
  const IdWindowFinder finder;

  const std::unique_ptr<char[]> buffer;
  char* const bufferEnd;
  size_t carry = 0;  // bytes just before bufferEnd
  // While reading back to the start of a record too long to carry, where
  // that record ends; the carry is then empty.
  bool inLongRecord = false;
  uint64_t longRecordEnd = 0;
};

bool IndexSearch::Run(std::string* key) {
  for (uint64_t position = length; position > 0;) {
    uint32_t size =
        static_cast<uint32_t>(std::min<uint64_t>(blockSize, position));
    position -= size;
    Step step = SearchBlock(position, size, key);
    if (step != kGoOn) return step == kFound;
  }
  return false;
}

// Reads the block at `offset` and searches whatever it completes.
IndexSearch::Step IndexSearch::SearchBlock(uint64_t offset, uint32_t size,
                                           std::string* key) {
  char* block = bufferEnd - carry - size;
  if (!ReadExactly(offset, block, size)) return kNotFound;

  // Records before `recordsEnd` may now be whole; the one ending there is.
  const char* recordsEnd = block + size + carry;
  if (inLongRecord) {
    const char* lineFeed = FindLastLineFeed(block, block + size);
    if (lineFeed == nullptr) return kGoOn;
    Step step =
        MatchRecordInFile(offset + (lineFeed - block) + 1, longRecordEnd, key);
    if (step != kGoOn) return step;
    inLongRecord = false;
    recordsEnd = lineFeed;
  }

  const char* headEnd = recordsEnd;
  const char* scanEnd = std::min<const char*>(recordsEnd, block + size);
  const void* lineFeed = std::memchr(block, '\n', scanEnd - block);
  if (lineFeed != nullptr) {
    headEnd = static_cast<const char*>(lineFeed);
    if (SearchWholeRecords(headEnd + 1, recordsEnd, key)) return kFound;
  }
  if (offset == 0) return kNotFound;  // the head is the header line
  KeepHead(offset, block, headEnd);
  return kGoOn;
}

// Makes [block, headEnd), the start of the file's offset `offset` on, the
// new carry, or gives it up as too long.
void IndexSearch::KeepHead(uint64_t offset, const char* block,
                           const char* headEnd) {
  size_t head = static_cast<size_t>(headEnd - block);
  if (head > blockSize) {
    inLongRecord = true;
    longRecordEnd = offset + head;
    carry = 0;
    return;
  }
  if (block != bufferEnd - head) std::memmove(bufferEnd - head, block, head);
  carry = head;
}

// Searches the whole records in [begin, end) from the last one back. Only
// records holding the id as a whole field are read field by field; after
// one that fails, the search goes on before its start.
bool IndexSearch::SearchWholeRecords(const char* begin, const char* end,
                                     std::string* key) {
  const char* windowsEnd = end;
  while (const char* window = finder.FindLast(begin, windowsEnd)) {
    const char* start = FindRecordStart(begin, window);
    RecordMatcher matcher(id, idLength);
    if (matcher.Feed(start, end - start) == RecordMatcher::kMatch) {
      key->assign(start + matcher.KeyBegin(), start + matcher.KeyEnd());
      return true;
    }
    if (start == begin) break;
    windowsEnd = start - 1;  // no window holds the line feed before it
  }
  return false;
}

// Decides the record [begin, end) of the file by reading it again from its
// start, in pieces of one block; reading stops as soon as the outcome is
// known, mostly within the first few fields. kGoOn when it does not match.
IndexSearch::Step IndexSearch::MatchRecordInFile(uint64_t begin, uint64_t end,
                                                 std::string* key) {
  // The carry is empty, so the front block of the buffer is free.
  char* piece = buffer.get();
  RecordMatcher matcher(id, idLength);
  for (uint64_t at = begin; at < end;) {
    uint32_t size =
        static_cast<uint32_t>(std::min<uint64_t>(blockSize, end - at));
    if (!ReadExactly(at, piece, size)) return kNotFound;
    RecordMatcher::Outcome outcome = matcher.Feed(piece, size);
    if (outcome == RecordMatcher::kNoMatch) return kGoOn;
    if (outcome == RecordMatcher::kMatch) {
      uint64_t keyLength = matcher.KeyEnd() - matcher.KeyBegin();
      if (keyLength > key->max_size()) return kNotFound;
      std::string found(static_cast<size_t>(keyLength), '\0');
      if (!ReadExactly(begin + matcher.KeyBegin(), &found[0], keyLength)) {
        return kNotFound;
      }
      key->swap(found);
      return kFound;
    }
    at += size;
  }
  return kGoOn;
}

// Reads `size` bytes at `offset`, taking as many reads as the platform
// needs. Any shortfall means the file changed under the search; it is taken
// as the end of what can be searched.
bool IndexSearch::ReadExactly(uint64_t offset, char* buffer, uint64_t size) {
  while (size > 0) {
    uint32_t request =
        static_cast<uint32_t>(std::min<uint64_t>(size, uint64_t{1} << 30));
    int64_t got = platform.ReadFileAt(file, offset, buffer, request);
    if (got <= 0 || static_cast<uint64_t>(got) > request) return false;
    offset += static_cast<uint64_t>(got);
    buffer += got;
    size -= static_cast<uint64_t>(got);
  }
  return true;
}

}  // namespace

bool FindKeyByMessageId(const char* indexPath, const char* messageId,
                        std::string* key) {
  return FindKeyByMessageIdInBlocks(indexPath, messageId, kFolderIndexBlockSize,
                                    key);
}

bool FindKeyByMessageIdInBlocks(const char* indexPath, const char* messageId,
                                uint32_t blockSize, std::string* key) {
  assert(blockSize >= 1 && blockSize <= (uint32_t{1} << 30));
  if (messageId == nullptr) return false;
  size_t idLength = std::strlen(messageId);
  // No field holds a line feed or a separator, so such an id can match
  // nothing; leaving them out also lets the matching code assume it.
  if (idLength == 0 || std::memchr(messageId, '\n', idLength) != nullptr ||
      std::memchr(messageId, kIndexFieldSeparator, idLength) != nullptr) {
    return false;
  }

  Platform& platform = Platform::Current();
  FileHandle file = platform.OpenFileForReading(indexPath);
  if (file == nullptr) return false;
  OpenFile closer(platform, file);

  // Whatever the host appends after this point is not searched.
  uint64_t length = 0;
  if (!platform.GetFileLength(file, &length) || length == 0) return false;
  char version = '\0';
  if (platform.ReadFileAt(file, 0, &version, 1) != 1 ||
      version != kIndexVersion) {
    return false;
  }
  try {
    std::string found;
    IndexSearch search(platform, file, length, messageId, idLength, blockSize);
    if (!search.Run(&found)) return false;
    key->swap(found);
    return true;
  } catch (const std::bad_alloc&) {
    // The host must never see an exception; running out of memory ends the
    // lookup like any other failure to read the index.
    return false;
  }
}

}  // namespace corvane
