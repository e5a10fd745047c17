// The platform as Windows offers it: the real registry, debug output,
// version resources and module lookup.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <vector>

#include "platform/platform.h"

namespace corvane {

namespace {

constexpr DWORD kPathBufferSize = 260;

class WindowsPlatform final : public Platform {
 public:
  void* MainProgram() override { return ::GetModuleHandleA(nullptr); }

  ExportedFunction FindExport(void* program, const char* name) override {
    FARPROC address = ::GetProcAddress(static_cast<HMODULE>(program), name);
    return reinterpret_cast<ExportedFunction>(
        reinterpret_cast<void (*)()>(address));
  }

  int CompareText(const char* a, const char* b) override {
    return ::lstrcmpA(a, b);
  }

  UserKey UserRoot() override { return HKEY_CURRENT_USER; }

  UserKey OpenUserKey(UserKey parent, const char* name) override {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(static_cast<HKEY>(parent), name, 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return nullptr;
    }
    return key;
  }

  bool ReadUserValue(UserKey key, const char* name, void* data,
                     uint32_t* size) override {
    DWORD type = 0;
    DWORD length = *size;
    if (::RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, &type,
                           static_cast<BYTE*>(data),
                           &length) != ERROR_SUCCESS) {
      return false;
    }
    *size = length;
    return true;
  }

  void CloseUserKey(UserKey key) override {
    ::RegCloseKey(static_cast<HKEY>(key));
  }

  FileHandle OpenFileForReading(const char* path) override {
    HANDLE file = ::CreateFileA(
        path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
  }

  bool GetFileLength(FileHandle file, uint64_t* length) override {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(static_cast<HANDLE>(file), &size)) return false;
    *length = static_cast<uint64_t>(size.QuadPart);
    return true;
  }

  int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                     uint32_t size) override {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!::ReadFile(static_cast<HANDLE>(file), buffer, size, &got, &at)) {
      return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return got;
  }

  void CloseFile(FileHandle file) override {
    ::CloseHandle(static_cast<HANDLE>(file));
  }

  bool QueryFileStatus(const char* path, int64_t* modified) override {
    struct __stat64 status;
    if (::_stat64(path, &status) != 0) return false;
    if (modified != nullptr) *modified = static_cast<int64_t>(status.st_mtime);
    return true;
  }

  void WriteDebugText(const char* text) override {
    ::OutputDebugStringA(text);
  }

  bool ReadLibraryVersion(void* instance, uint16_t parts[4]) override {
    char path[kPathBufferSize];
    DWORD length = ::GetModuleFileNameA(static_cast<HMODULE>(instance), path,
                                        kPathBufferSize);
    if (length == 0 || length >= kPathBufferSize) return false;
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return false;
    // Rounded up to whole DWORDs, as the version functions work in them.
    std::vector<DWORD> block((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    if (!::GetFileVersionInfoA(path, 0, size, block.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!::VerQueryValueA(block.data(), "\\",
                          reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO)) {
      return false;
    }
    parts[0] = HIWORD(fixed->dwFileVersionMS);
    parts[1] = LOWORD(fixed->dwFileVersionMS);
    parts[2] = HIWORD(fixed->dwFileVersionLS);
    parts[3] = LOWORD(fixed->dwFileVersionLS);
    return true;
  }

  bool IsLeadByte(unsigned char byte) override {
    return ::IsDBCSLeadByte(byte) != FALSE;
  }
};

}  // namespace

Platform& BuildPlatform() {
  static WindowsPlatform platform;
  return platform;
}

}  // namespace corvane
