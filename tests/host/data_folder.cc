#include "tests/host/data_folder.h"

#include <fstream>
#include <random>
#include <system_error>
#include <vector>

#include "gtest/gtest.h"

namespace corvane {
namespace test {

namespace {

namespace fs = std::filesystem;

// The plug-in skips a record of fewer fields.
constexpr int kIndexFields = 14;
constexpr char kFieldSeparator = '\x01';

}  // namespace

DataFolder::DataFolder() {
  std::random_device random;
  root = fs::path(testing::TempDir()) /
         ("corvane_session_" + std::to_string(random()));
  fs::create_directories(root);
  root = fs::absolute(root).make_preferred();
  hostPath = root.string();
  if (hostPath.back() != fs::path::preferred_separator) {
    hostPath += static_cast<char>(fs::path::preferred_separator);
  }
}

DataFolder::~DataFolder() {
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

fs::path DataFolder::PathOf(const std::string& id) const {
  fs::path path = root;
  size_t start = 0;
  while (start < id.size()) {
    size_t end = id.find('\\', start);
    if (end == std::string::npos) end = id.size();
    if (end > start) path /= id.substr(start, end - start);
    start = end + 1;
  }
  return path;
}

void DataFolder::AddNewsFolder(const std::string& folderId,
                               const std::string& lineEnd) {
  AddFolder(folderId, lineEnd);
  // Only its presence counts; the host keeps the group's settings in it.
  AppendTo(PathOf(folderId) / "news.ini", "[News]" + lineEnd);
}

void DataFolder::AddMailFolder(const std::string& folderId,
                               const std::string& lineEnd) {
  AddFolder(folderId, lineEnd);
}

void DataFolder::AddIndexRecord(const std::string& folderId,
                                const std::string& key,
                                const std::string& messageId) {
  auto lineEnd = lineEnds.find(folderId);
  ASSERT_NE(lineEnd, lineEnds.end()) << "no folder " << folderId;
  AppendTo(PathOf(folderId) / "Folder.idx",
           IndexRecord(key, messageId) + lineEnd->second);
}

std::string DataFolder::IndexRecord(const std::string& key,
                                    const std::string& messageId) {
  std::vector<std::string> fields(kIndexFields, "0");
  fields[1] = key;
  fields[2] = "poster@example.com";
  fields[3] = "Subject of " + key;
  fields[6] = messageId;
  std::string record = fields[0];
  for (int i = 1; i < kIndexFields; ++i) {
    record += kFieldSeparator + fields[i];
  }
  return record;
}

void DataFolder::AddRule(const std::string& mailboxId, const std::string& group,
                         const std::string& folderId) {
  AppendTo(PathOf(mailboxId) / "IFilter.def",
           ":Begin\r\n"
           "@0:X-Gazzet-To:" +
               group +
               "\t0\r\n"
               "!M:" +
               folderId +
               "\r\n"
               ":End\r\n");
}

void DataFolder::AddFolder(const std::string& folderId,
                           const std::string& lineEnd) {
  fs::create_directories(PathOf(folderId));
  lineEnds[folderId] = lineEnd;
  // The first byte is the index's format version; the plug-in reads only
  // that byte of the header line.
  AppendTo(PathOf(folderId) / "Folder.idx",
           "2" + std::string(1, kFieldSeparator) + "index" + lineEnd);
}

void DataFolder::AppendTo(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::app);
  out << bytes;
  ASSERT_TRUE(out.good()) << "cannot write " << file.string();
}

}  // namespace test
}  // namespace corvane
