// The platform as Windows offers it: the real registry, debug output,
// version resources and module lookup.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

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
