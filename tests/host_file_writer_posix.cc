#include <fcntl.h>
#include <unistd.h>

#include "tests/host_file_writer.h"

namespace corvane {
namespace test {

HostFileWriter::HostFileWriter(const std::string& path) : handle(nullptr) {
  int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (descriptor >= 0) handle = new int(descriptor);
}

HostFileWriter::~HostFileWriter() {
  if (handle == nullptr) return;
  ::close(*static_cast<int*>(handle));
  delete static_cast<int*>(handle);
}

bool HostFileWriter::IsOpen() const { return handle != nullptr; }

bool HostFileWriter::Append(const std::string& bytes) {
  if (handle == nullptr) return false;
  int descriptor = *static_cast<int*>(handle);
  if (::lseek(descriptor, 0, SEEK_END) < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t wrote =
        ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace test
}  // namespace corvane
