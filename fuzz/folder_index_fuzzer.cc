// Differential fuzzer for the folder index lookup: the block-wise search
// must give exactly what a plain search of the whole text gives, for every
// block size, and however the platform splits its reads.
//
// Input: one byte that picks a small block size and a read limit, one byte
// that picks how the message id is made, the message id up to the first NUL,
// and after that NUL the index file's content. When the second byte has its
// high bit set, the id is instead field 6 of one of the content's records,
// so that matches are common; its next bit swaps the case of the id's ASCII
// letters.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "crosspost/folder_index.h"
#include "crosspost/id_text.h"
#include "parse/text_split.h"
#include "platform/platform.h"

namespace corvane {
namespace {

const char kPath[] = "Folder.idx";

// Serves one file from memory, hands out at most `readLimit` bytes a read,
// and aborts on any request past the file's end or any handle left open.
class MemoryPlatform : public Platform {
 public:
  std::string content;
  uint32_t readLimit = UINT32_MAX;
  int openFiles = 0;

  void* MainProgram() override { return nullptr; }
  ExportedFunction FindExport(void*, const char*) override { return nullptr; }
  int CompareText(const char* a, const char* b) override {
    return std::strcmp(a, b);
  }
  UserKey UserRoot() override { return nullptr; }
  UserKey OpenUserKey(UserKey, const char*) override { return nullptr; }
  bool ReadUserValue(UserKey, const char*, void*, uint32_t*) override {
    return false;
  }
  void CloseUserKey(UserKey) override {}

  FileHandle OpenFileForReading(const char* path) override {
    if (std::strcmp(path, kPath) != 0) return nullptr;
    ++openFiles;
    return this;
  }
  bool GetFileLength(FileHandle, uint64_t* length) override {
    *length = content.size();
    return true;
  }
  int64_t ReadFileAt(FileHandle, uint64_t offset, void* buffer,
                     uint32_t size) override {
    if (size == 0 || offset + size > content.size()) std::abort();
    uint32_t count = size < readLimit ? size : readLimit;
    std::memcpy(buffer, content.data() + offset, count);
    return count;
  }
  void CloseFile(FileHandle) override { --openFiles; }
  bool QueryFileStatus(const char*, int64_t*) override { return false; }

  void WriteDebugText(const char*) override {}
  bool ReadLibraryVersion(void*, uint16_t*) override { return false; }
  bool IsLeadByte(unsigned char) override { return false; }
};

// The records of `content`, the last first: the text after each line feed
// up to the next one, each cut at its first NUL and split in place like the
// index's readers split it. The header is no record.
std::vector<std::vector<char>> RecordsFromTheEnd(const std::string& content) {
  std::vector<std::vector<char>> records;
  size_t end = content.size();
  for (size_t lineFeed = content.rfind('\n'); lineFeed != std::string::npos;
       lineFeed = lineFeed == 0 ? std::string::npos
                                : content.rfind('\n', lineFeed - 1)) {
    std::string record = content.substr(lineFeed + 1, end - lineFeed - 1);
    record.resize(std::strlen(record.c_str()));
    records.emplace_back(record.begin(), record.end());
    records.back().push_back('\0');
    end = lineFeed;
  }
  return records;
}

bool FindPlainly(const std::string& content, const std::string& id,
                 std::string* key) {
  if (id.empty() || content.empty() || content[0] != '2') return false;
  for (std::vector<char>& record : RecordsFromTheEnd(content)) {
    char* fields[16];
    if (SplitFields(record.data(), '\x01', fields, 16) >= 14 &&
        EqualIgnoringAsciiCase(fields[6], id.c_str())) {
      *key = fields[1];
      return true;
    }
  }
  return false;
}

// Field 6 of the `wanted`th record from the end that has one, or empty.
std::string IdFieldOf(const std::string& content, int wanted) {
  std::vector<std::string> ids;
  for (std::vector<char>& record : RecordsFromTheEnd(content)) {
    char* fields[16];
    if (SplitFields(record.data(), '\x01', fields, 16) >= 8) {
      ids.push_back(fields[6]);
    }
  }
  return ids.empty() ? std::string() : ids[wanted % ids.size()];
}

void SwapAsciiCase(std::string* text) {
  for (char& c : *text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) c ^= 0x20;
  }
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace
}  // namespace corvane

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvane;
  if (size < 2) return 0;
  uint8_t sizes = data[0];
  uint8_t idMode = data[1];
  const char* rest = reinterpret_cast<const char*>(data + 2);
  size_t restSize = size - 2;
  const void* nul = std::memchr(rest, '\0', restSize);
  size_t idSize =
      nul == nullptr ? restSize : static_cast<const char*>(nul) - rest;
  std::string id(rest, idSize);
  std::string content =
      nul == nullptr ? std::string()
                     : std::string(rest + idSize + 1, restSize - idSize - 1);
  if (idMode & 0x80) {
    std::string field = IdFieldOf(content, idMode & 0x3F);
    if (!field.empty()) id = field;
    if (idMode & 0x40) SwapAsciiCase(&id);
  }

  // Put in place at the first input and kept for the process's life.
  static MemoryPlatform platform;
  static const bool inPlace = (Platform::Replace(&platform), true);
  (void)inPlace;
  platform.content = content;

  std::string expected;
  bool expectedFound = FindPlainly(content, id, &expected);

  uint32_t smallBlock = 1 + sizes % 24;
  if (sizes >= 240) smallBlock = 64u + (sizes - 240u) * 37u;
  const uint32_t readLimits[] = {UINT32_MAX, 1u + (sizes >> 5)};
  const uint32_t blockSizes[] = {smallBlock, kFolderIndexBlockSize};
  for (uint32_t readLimit : readLimits) {
    for (uint32_t blockSize : blockSizes) {
      platform.readLimit = readLimit;
      std::string key = "\x01unchanged";
      bool found =
          FindKeyByMessageIdInBlocks(kPath, id.c_str(), blockSize, &key);
      Check(found == expectedFound);
      Check(key == (found ? expected : "\x01unchanged"));
      Check(platform.openFiles == 0);
    }
  }
  return 0;
}
