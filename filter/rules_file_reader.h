// RulesFileReader: reads the rules file line by line, as the C runtime's
// text mode with a fixed line buffer would hand the lines over.
//
// The platform seam offers only binary reads, so the reader does the text
// mode's translation itself: every CR LF pair of the file reads as a single
// LF, and a lone CR stays a CR. It then cuts the translated bytes into lines
// of at most size - 1 bytes, each line keeping its LF; a longer physical
// line arrives as several lines. The translation comes before the cut, as
// in the C runtime, so a CR LF pair met where a line is full becomes a line
// of its own holding the one LF. NUL bytes are passed on as they are and
// count towards the line's length; the caller decides what they mean. A
// Ctrl-Z byte is passed on like any other: the C runtime's text mode would
// take it for the end of the file, but no rules file the host writes holds
// one, and stopping there would silently drop the rules after it.
//
// The reader owns the open file and closes it when destroyed. Memory stays
// bounded by the block size, whatever the file's length. One caller at a
// time; nothing is shared between readers.

#ifndef CORVANE_FILTER_RULES_FILE_READER_H_
#define CORVANE_FILTER_RULES_FILE_READER_H_

#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace corvane {

class RulesFileReader {
 public:
  static constexpr uint32_t kDefaultBlockSize = 16384;

  // Reads the file in blocks of `blockSize` bytes; tests choose small
  // blocks to put block boundaries where they want them.
  // REQUIRES: blockSize >= 1.
  explicit RulesFileReader(uint32_t blockSize = kDefaultBlockSize);
  ~RulesFileReader();

  RulesFileReader(const RulesFileReader&) = delete;
  RulesFileReader& operator=(const RulesFileReader&) = delete;

  // Opens `path` through Platform::Current(). False when it cannot be
  // opened.
  // REQUIRES: no file is open.
  bool Open(const char* path);

  // Stores the next line in `line` (`size` bytes) with a NUL after it and
  // returns the number of bytes stored before that NUL, which is below
  // `size`; the line itself may hold NUL bytes. Returns 0 at the end of the
  // file and after a read error; Failed() tells the two apart.
  // REQUIRES: a file is open; size >= 2.
  int ReadLine(char* line, int size);

  // True once reading the file has failed: what was read is then not the
  // whole file.
  bool Failed() const { return failed; }

 private:
  // The next byte of the file with CR LF pairs taken as one LF, or -1 at
  // the end of the file or on an error.
  int ReadTextByte();
  // The next byte of the file, or -1. Advances only when `consume`.
  int NextFileByte(bool consume);
  // Reads the next block into `block`. False at the end of the file or on
  // an error.
  bool FillBlock();

  const uint32_t blockSize;
  std::unique_ptr<char[]> block;
  // Bytes of `block` that hold file data, and the index of the next one to
  // hand out.
  uint32_t blockUsed = 0;
  uint32_t blockNext = 0;
  // Where in the file the byte after `block` lies.
  uint64_t fileOffset = 0;
  // The open file, and the platform that opened it and must close it.
  FileHandle file = nullptr;
  Platform* platform = nullptr;
  bool atEnd = false;
  bool failed = false;
};

}  // namespace corvane

#endif  // CORVANE_FILTER_RULES_FILE_READER_H_
