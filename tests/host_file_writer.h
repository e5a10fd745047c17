// HostFileWriter: holds a real file open for writing the way the host holds
// its index files, so that tests can check that the plug-in and the host
// share a file as they must.
//
// On Windows the handle is opened with GENERIC_WRITE and shares reading and
// writing with every other handle, as the host's does; elsewhere it is a
// plain descriptor, since POSIX has no share modes. The file is closed when
// the writer is destroyed. For tests only.

#ifndef CORVANE_TESTS_HOST_FILE_WRITER_H_
#define CORVANE_TESTS_HOST_FILE_WRITER_H_

#include <string>

namespace corvane {
namespace test {

class HostFileWriter {
 public:
  // Opens `path` for writing, making the file when it is missing. IsOpen()
  // tells whether that worked.
  explicit HostFileWriter(const std::string& path);
  ~HostFileWriter();

  HostFileWriter(const HostFileWriter&) = delete;
  HostFileWriter& operator=(const HostFileWriter&) = delete;

  bool IsOpen() const;
  // Writes `bytes` at the end of the file. True when all of them were
  // written.
  bool Append(const std::string& bytes);

 private:
  void* handle;  // a HANDLE on Windows, a heap-held descriptor elsewhere
};

}  // namespace test
}  // namespace corvane

#endif  // CORVANE_TESTS_HOST_FILE_WRITER_H_
