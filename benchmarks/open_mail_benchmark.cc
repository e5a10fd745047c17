// One read article, end to end through OnOpenMail: the article is
// cross-posted to five more groups, each of whose indexes holds 10^5 records
// with the copy among the last 100. The user opens the article, reads it and
// opens the next mail, which propagates it: five lookups, five marks.
//
// The same work with the straightforward whole-file lookup in place of the
// plug-in's runs beside it, in the same process.
//
//   build/native/bin/open_mail_benchmark

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "benchmarks/index_files.h"
#include "crosspost/crosspost_reader.h"
#include "tests/fake_host_api.h"

namespace corvane {
namespace {

constexpr int kRecords = 100000;
constexpr int kOtherGroups = 5;
const char kArticle[] = "box\\own\\?7";

// A data folder with the article's own news folder and five more, each
// with an index of kRecords records; removed at exit.
class Mailbox {
 public:
  Mailbox() {
    root = std::filesystem::temp_directory_path() / "corvane-open-mail";
    std::filesystem::remove_all(root);
    std::string xref = "Xref: news.example own:7";
    AddNewsFolder("own");
    for (int i = 1; i <= kOtherGroups; ++i) {
      std::string group = "g" + std::to_string(i);
      AddNewsFolder(group);
      xref += " " + group + ":" + std::to_string(100 + i);
    }
    host.dataFolder = root.string() + "/";
    host.mailbox = "box\\";
    host.currentMail = kArticle;
    host.headers[kArticle] = xref + "\r\nMessage-Id: " + messageId +
                             "\r\nSubject: x\r\n\r\n";
  }
  ~Mailbox() { std::filesystem::remove_all(root); }

  test::FakeHost host;

 private:
  void AddNewsFolder(const std::string& name) {
    std::filesystem::path folder = root / "box" / name;
    std::filesystem::create_directories(folder);
    std::fclose(std::fopen((folder / "news.ini").string().c_str(), "wb"));
    bench::WriteIndexFile((folder / "Folder.idx").string(), kRecords);
  }

  std::filesystem::path root;
  const std::string messageId = bench::MessageIdOf(kRecords - 50);
};

Mailbox& TheMailbox() {
  static Mailbox mailbox;
  return mailbox;
}

// Finds copies the straightforward way: the whole index in one buffer.
class StraightforwardReader : public CrosspostReader {
 public:
  std::string FindMailByMessageId(const char* folderId,
                                  const char* messageId) override {
    std::string path =
        std::string(hostApi.BKA_GetDataFolder()) + folderId + "Folder.idx";
    std::string key;
    if (!bench::FindStraightforwardly(path.c_str(), messageId, &key)) return "";
    return std::string(folderId) + "?" + key;
  }
};

// Opens the article unread, has the user read it, and opens it again: the
// second open propagates it.
template <typename Reader>
void BM_OpenMail(benchmark::State& state) {
  Mailbox& mailbox = TheMailbox();
  test::ScopedFakeHostApi usingHost(&mailbox.host);
  Reader reader;
  for (auto _ : state) {
    mailbox.host.calls.clear();
    mailbox.host.status[kArticle] = 0;
    reader.OnOpenMail(kArticle);
    mailbox.host.status[kArticle] = kReadFlag;
    reader.OnOpenMail(kArticle);
    if (mailbox.host.CallsStartingWith("SetStatus").size() != kOtherGroups) {
      state.SkipWithError("the copies were not all marked");
      break;
    }
  }
}

BENCHMARK_TEMPLATE(BM_OpenMail, CrosspostReader)
    ->Name("OpenMail/plugin")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_OpenMail, StraightforwardReader)
    ->Name("OpenMail/straightforward")
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane
