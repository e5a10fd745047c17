#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/host_file_writer.h"

namespace corvane {
namespace test {

HostFileWriter::HostFileWriter(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  handle = file == INVALID_HANDLE_VALUE ? nullptr : file;
}

HostFileWriter::~HostFileWriter() {
  if (handle != nullptr) ::CloseHandle(static_cast<HANDLE>(handle));
}

bool HostFileWriter::IsOpen() const { return handle != nullptr; }

bool HostFileWriter::Append(const std::string& bytes) {
  if (handle == nullptr) return false;
  HANDLE file = static_cast<HANDLE>(handle);
  LARGE_INTEGER end = {};
  if (!::SetFilePointerEx(file, end, nullptr, FILE_END)) return false;
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                     &written, nullptr) &&
         written == bytes.size();
}

}  // namespace test
}  // namespace corvane
