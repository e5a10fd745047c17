#include "filter/rules_file_reader.h"

#include <cassert>

namespace corvane {

RulesFileReader::RulesFileReader(uint32_t blockSize)
    : blockSize(blockSize), block(new char[blockSize]) {
  assert(blockSize >= 1);
}

RulesFileReader::~RulesFileReader() {
  if (file != nullptr) platform->CloseFile(file);
}

bool RulesFileReader::Open(const char* path) {
  assert(file == nullptr);
  // The file is closed through the platform that opened it, even if a test
  // puts another one in place meanwhile.
  platform = &Platform::Current();
  file = platform->OpenFileForReading(path);
  return file != nullptr;
}

int RulesFileReader::ReadLine(char* line, int size) {
  assert(file != nullptr && size >= 2);
  int count = 0;
  while (count < size - 1) {
    int c = ReadTextByte();
    if (c < 0) break;
    line[count++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  line[count] = '\0';
  return failed ? 0 : count;
}

int RulesFileReader::ReadTextByte() {
  int c = NextFileByte(true);
  // The pair is looked for across block boundaries, so where the file is
  // cut into blocks never changes the lines.
  if (c == '\r' && NextFileByte(false) == '\n') c = NextFileByte(true);
  return c;
}

int RulesFileReader::NextFileByte(bool consume) {
  if (blockNext == blockUsed && !FillBlock()) return -1;
  unsigned char byte = static_cast<unsigned char>(block[blockNext]);
  if (consume) ++blockNext;
  return byte;
}

bool RulesFileReader::FillBlock() {
  if (atEnd || failed) return false;
  int64_t got = platform->ReadFileAt(file, fileOffset, block.get(), blockSize);
  // A platform that claims more than it was asked for is not trusted with
  // the buffer.
  if (got < 0 || got > static_cast<int64_t>(blockSize)) {
    failed = true;
    return false;
  }
  if (got == 0) {
    atEnd = true;
    return false;
  }
  blockUsed = static_cast<uint32_t>(got);
  blockNext = 0;
  fileOffset += blockUsed;
  return true;
}

}  // namespace corvane
