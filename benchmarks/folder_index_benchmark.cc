// The folder index lookup against two references on the same index files:
//
// - Straightforward: reads the whole file into one buffer of length + 1,
//   then cuts records off its end and splits each into fields, as a plain
//   in-memory search would.
// - MemchrPass: reads the whole file the same way and makes one memchr pass
//   over it; no search that reads every byte can be faster.
//
// Each index is a real file of 10^4, 10^5 or 10^6 records of about 250
// bytes, written once per run into the temporary folder and removed at exit.
// "where" is 0 for a message id among the last 100 records, 1 for one in the
// middle and 2 for one that no record holds. Bytes per second are counted
// over the whole file in every case, so the figures compare directly.
//
//   build/native/bin/folder_index_benchmark

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "crosspost/folder_index.h"
#include "crosspost/id_text.h"
#include "parse/text_split.h"
#include "platform/platform.h"

namespace corvane {
namespace {

enum Where { kNearTheEnd = 0, kInTheMiddle = 1, kNowhere = 2 };

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

struct IndexFile {
  std::string path;
  uint64_t size = 0;
};

// Writes each index once and removes them all at exit.
class IndexFiles {
 public:
  ~IndexFiles() {
    for (const auto& entry : files) std::remove(entry.second.path.c_str());
  }

  const IndexFile& Get(int records) {
    IndexFile& file = files[records];
    if (file.path.empty()) Write(records, &file);
    return file;
  }

 private:
  static void Write(int records, IndexFile* file) {
    file->path = (std::filesystem::temp_directory_path() /
                  ("corvane-folder-index-" + std::to_string(records) + ".idx"))
                     .string();
    std::FILE* out = std::fopen(file->path.c_str(), "wb");
    if (out == nullptr) std::abort();
    std::string chunk = "2 index\n";
    for (int i = 0; i < records; ++i) {
      chunk += RecordOf(i);
      if (chunk.size() > (1 << 20) || i == records - 1) {
        std::fwrite(chunk.data(), 1, chunk.size(), out);
        file->size += chunk.size();
        chunk.clear();
      }
    }
    std::fclose(out);
  }

  std::map<int, IndexFile> files;
};

IndexFiles& Files() {
  static IndexFiles files;
  return files;
}

std::string MessageIdFor(int records, int where) {
  switch (where) {
    case kNearTheEnd:
      return MessageIdOf(records - 50);
    case kInTheMiddle:
      return MessageIdOf(records / 2);
    default:
      return "<0.deadbeef@news99.host.example>";
  }
}

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

void CountBytes(benchmark::State& state, const IndexFile& file) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(file.size));
}

void BM_Lookup(benchmark::State& state) {
  const IndexFile& file = Files().Get(static_cast<int>(state.range(0)));
  std::string id = MessageIdFor(static_cast<int>(state.range(0)),
                                static_cast<int>(state.range(1)));
  std::string key;
  for (auto _ : state) {
    bool found = FindKeyByMessageId(file.path.c_str(), id.c_str(), &key);
    if (found != (state.range(1) != kNowhere)) std::abort();
    benchmark::DoNotOptimize(found);
  }
  CountBytes(state, file);
}

void BM_Straightforward(benchmark::State& state) {
  const IndexFile& file = Files().Get(static_cast<int>(state.range(0)));
  std::string id = MessageIdFor(static_cast<int>(state.range(0)),
                                static_cast<int>(state.range(1)));
  std::string key;
  for (auto _ : state) {
    bool found = FindStraightforwardly(file.path.c_str(), id.c_str(), &key);
    if (found != (state.range(1) != kNowhere)) std::abort();
    benchmark::DoNotOptimize(found);
  }
  CountBytes(state, file);
}

void BM_MemchrPass(benchmark::State& state) {
  const IndexFile& file = Files().Get(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    uint64_t length = 0;
    std::unique_ptr<char[]> text = ReadWhole(file.path.c_str(), &length);
    const void* found = std::memchr(text.get(), '\0', length);
    benchmark::DoNotOptimize(found);
  }
  CountBytes(state, file);
}

void LookupArguments(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"records", "where"});
  for (int records : {10000, 100000, 1000000}) {
    for (int where : {kNearTheEnd, kInTheMiddle, kNowhere}) {
      benchmark->Args({records, where});
    }
  }
  benchmark->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Lookup)->Apply(LookupArguments);
BENCHMARK(BM_Straightforward)->Apply(LookupArguments);
BENCHMARK(BM_MemchrPass)
    ->ArgName("records")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane
