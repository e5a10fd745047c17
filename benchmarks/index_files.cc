#include "benchmarks/index_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "crosspost/id_text.h"
#include "parse/text_split.h"
#include "platform/platform.h"

namespace corvane {
namespace bench {

namespace {

// The whole file in one buffer of length + 1 with a NUL after the last
// byte, the way an in-memory search reads it.
std::unique_ptr<char[]> ReadWhole(const char* path, uint64_t* length) {
  Platform& platform = Platform::Current();
  FileHandle file = platform.OpenFileForReading(path);
  if (file == nullptr || !platform.GetFileLength(file, length)) std::abort();
  std::unique_ptr<char[]> text(new char[*length + 1]);
  if (platform.ReadFileAt(file, 0, text.get(),
                          static_cast<uint32_t>(*length)) !=
      static_cast<int64_t>(*length)) {
    std::abort();
  }
  platform.CloseFile(file);
  text[*length] = '\0';
  return text;
}

}  // namespace

bool FindStraightforwardly(const char* path, const char* id, std::string* key) {
  uint64_t length = 0;
  std::unique_ptr<char[]> text = ReadWhole(path, &length);
  if (text[0] != '2') return false;
  char* end = text.get() + std::strlen(text.get());
  for (;;) {
    char* lineFeed = end;
    while (lineFeed > text.get() && lineFeed[-1] != '\n') --lineFeed;
    if (lineFeed == text.get()) return false;
    --lineFeed;
    *lineFeed = '\0';
    char* fields[16];
    if (SplitFields(lineFeed + 1, '\x01', fields, 16) >= 14 &&
        EqualIgnoringAsciiCase(fields[6], id)) {
      *key = fields[1];
      return true;
    }
    end = lineFeed;
  }
}

std::string MessageIdOf(int record) {
  char id[64];
  std::snprintf(id, sizeof id, "<%d.%08x@news%d.host.example>", record,
                static_cast<unsigned>(record) * 2654435761u, record % 13);
  return id;
}

// A record shaped like the host's: key, date, sender, subject, group,
// Message-Id, References, sizes and flags.
std::string RecordOf(int record) {
  char text[512];
  int length =
      std::snprintf(text, sizeof text,
                    "%08x\x01%d\x01Thu, %02d Dec 2026 %02d:%02d:%02d +0000\x01"
                    "Poster Number%d <poster%d@users.example>\x01"
                    "Re: Thread %d about the matter at hand\x01"
                    "comp.example.discussion\x01%s\x01%s\x01%d\x01%d\x01"
                    "0\x01"
                    "1\x01"
                    "0\x01\x01"
                    "0x%04x\x01"
                    "1\n",
                    record * 97, 1000 + record, 1 + record % 28, record % 24,
                    record % 60, (record / 60) % 60, record % 977, record % 977,
                    record / 3, MessageIdOf(record).c_str(),
                    MessageIdOf(record > 0 ? record - 1 : 0).c_str(),
                    1200 + record % 5000, 20 + record % 300, record & 0xffff);
  return std::string(text, static_cast<size_t>(length));
}

uint64_t WriteIndexFile(const std::string& path, int records) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  uint64_t size = 0;
  std::string chunk = "2 index\n";
  for (int i = 0; i < records; ++i) {
    chunk += RecordOf(i);
    if (chunk.size() > (1 << 20) || i == records - 1) {
      std::fwrite(chunk.data(), 1, chunk.size(), out);
      size += chunk.size();
      chunk.clear();
    }
  }
  std::fclose(out);
  return size;
}

}  // namespace bench
}  // namespace corvane
