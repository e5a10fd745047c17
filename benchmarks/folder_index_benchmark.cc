// The folder index lookup against two references on the same index files:
//
// - Straightforward: reads the whole file into one buffer of length + 1,
//   then cuts records off its end and splits each into fields, as a plain
//   in-memory search would.
// - MemchrPass: reads the file in the lookup's blocks and makes one memchr
//   pass over each; no search that reads every byte can be faster.
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

#include "benchmarks/index_files.h"
#include "crosspost/folder_index.h"
#include "platform/platform.h"

namespace corvane {
namespace {

enum Where { kNearTheEnd = 0, kInTheMiddle = 1, kNowhere = 2 };

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
    file->size = bench::WriteIndexFile(file->path, records);
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
      return bench::MessageIdOf(records - 50);
    case kInTheMiddle:
      return bench::MessageIdOf(records / 2);
    default:
      return "<0.deadbeef@news99.host.example>";
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
    bool found = bench::FindStraightforwardly(file.path.c_str(), id.c_str(), &key);
    if (found != (state.range(1) != kNowhere)) std::abort();
    benchmark::DoNotOptimize(found);
  }
  CountBytes(state, file);
}

void BM_MemchrPass(benchmark::State& state) {
  const IndexFile& file = Files().Get(static_cast<int>(state.range(0)));
  Platform& platform = Platform::Current();
  std::unique_ptr<char[]> block(new char[kFolderIndexBlockSize]);
  for (auto _ : state) {
    FileHandle handle = platform.OpenFileForReading(file.path.c_str());
    uint64_t length = 0;
    if (handle == nullptr || !platform.GetFileLength(handle, &length)) {
      std::abort();
    }
    for (uint64_t offset = 0; offset < length;
         offset += kFolderIndexBlockSize) {
      int64_t got = platform.ReadFileAt(handle, offset, block.get(),
                                        kFolderIndexBlockSize);
      if (got <= 0) std::abort();
      const void* found =
          std::memchr(block.get(), '\0', static_cast<size_t>(got));
      benchmark::DoNotOptimize(found);
    }
    platform.CloseFile(handle);
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
