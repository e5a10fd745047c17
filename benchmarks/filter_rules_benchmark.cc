// FolderForGroup on a large rules file on disk: the ordinary lookup of an
// unchanged file (one file status query and one map lookup), and the lookup
// that finds the file's time advanced and reads it again.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "benchmark/benchmark.h"
#include "filter/filter_rules.h"

namespace {

constexpr int kBlocks = 10000;

// A mailbox folder holding an IFilter.def of kBlocks rules, group.<n> to
// Box\Folder<n>\, in the host's CR LF lines. Removed on destruction.
class RulesFolder {
 public:
  RulesFolder() {
    std::random_device random;
    folder = std::filesystem::temp_directory_path() /
             ("corvane_filter_rules_bench_" + std::to_string(random()));
    std::filesystem::create_directories(folder / "Box");
    rulesFile = folder / "Box" / "IFilter.def";
    std::ofstream out(rulesFile, std::ios::binary);
    for (int i = 0; i < kBlocks; ++i) {
      std::string n = std::to_string(i);
      out << ":Begin\r\n"
          << "@0:X-Gazzet-To:group." << n << "\t0\r\n"
          << "!M:Box\\Folder" << n << "\\\r\n"
          << ":End\r\n";
    }
    dataFolder = folder.string() + "/";
  }
  ~RulesFolder() { std::filesystem::remove_all(folder); }

  // Moves the file's time one second on, so that the next lookup reads it.
  void AdvanceFileTime() {
    std::filesystem::last_write_time(
        rulesFile,
        std::filesystem::last_write_time(rulesFile) + std::chrono::seconds(1));
  }

  std::string dataFolder;
  std::filesystem::path rulesFile;

 private:
  std::filesystem::path folder;
};

void BM_FolderForGroupUnchanged(benchmark::State& state) {
  RulesFolder rules;
  corvane::FilterRules filter(rules.dataFolder.c_str(), "Box/");
  if (filter.FolderForGroup("group.5000") == nullptr) {
    state.SkipWithError("the rule for group.5000 was not read");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(filter.FolderForGroup("group.5000"));
  }
}
BENCHMARK(BM_FolderForGroupUnchanged);

void BM_FolderForGroupReload(benchmark::State& state) {
  RulesFolder rules;
  corvane::FilterRules filter(rules.dataFolder.c_str(), "Box/");
  uintmax_t bytes = std::filesystem::file_size(rules.rulesFile);
  for (auto _ : state) {
    rules.AdvanceFileTime();
    const char* folder = filter.FolderForGroup("group.9999");
    if (folder == nullptr) {
      state.SkipWithError("the rule for group.9999 was not read");
      return;
    }
    benchmark::DoNotOptimize(folder);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_FolderForGroupReload)->Unit(benchmark::kMillisecond);

}  // namespace
