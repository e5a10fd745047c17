// DataFolder: a host data folder written on disk for one test, holding the
// files the host keeps for its mailboxes: each mailbox's IFilter.def, and in
// each folder a Folder.idx and, for a news folder, a news.ini.
//
// Ids are given as the host writes them, relative to the data folder, with
// backslashes between the levels and one at the end ("Mailbox1\fj\test\");
// on disk they become nested directories on every platform. The folder is
// removed when the object is destroyed, so nothing may hold a file in it
// open by then. For tests only; one thread.

#ifndef CORVANE_TESTS_HOST_DATA_FOLDER_H_
#define CORVANE_TESTS_HOST_DATA_FOLDER_H_

#include <filesystem>
#include <map>
#include <string>

namespace corvane {
namespace test {

class DataFolder {
 public:
  // Makes an empty folder of its own below the test's temporary directory.
  DataFolder();
  ~DataFolder();

  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;

  // The folder as the host hands it to plug-ins: absolute, ending in the
  // platform's separator.
  const std::string& HostPath() const { return hostPath; }

  // Where the folder or file `id` lies on disk.
  std::filesystem::path PathOf(const std::string& id) const;

  // A news folder: news.ini and a Folder.idx that holds only its header
  // line. Its records will end in `lineEnd`.
  void AddNewsFolder(const std::string& folderId,
                     const std::string& lineEnd = "\r\n");
  // A folder with a Folder.idx but no news.ini, as the host keeps its mail
  // folders.
  void AddMailFolder(const std::string& folderId,
                     const std::string& lineEnd = "\r\n");

  // Appends the record of the message `key` with `messageId` to the folder's
  // index. REQUIRES: the folder was added.
  void AddIndexRecord(const std::string& folderId, const std::string& key,
                      const std::string& messageId);
  // One index record, without its line end: fields parted by byte 0x01,
  // the key in field 1 and the Message-Id in field 6.
  static std::string IndexRecord(const std::string& key,
                                 const std::string& messageId);

  // Appends to the mailbox's IFilter.def a rule block that files the
  // articles of `group` into `folderId`, with CR LF line ends.
  void AddRule(const std::string& mailboxId, const std::string& group,
               const std::string& folderId);

 private:
  void AddFolder(const std::string& folderId, const std::string& lineEnd);
  void AppendTo(const std::filesystem::path& file, const std::string& bytes);

  std::filesystem::path root;
  std::string hostPath;
  std::map<std::string, std::string> lineEnds;  // by folder id
};

}  // namespace test
}  // namespace corvane

#endif  // CORVANE_TESTS_HOST_DATA_FOLDER_H_
