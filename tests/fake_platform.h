// FakePlatform: an in-memory platform for unit tests.
//
// It offers a main program with chosen exports, a settings store held in a
// map, and records what the code under test asks of it. Put it in place with
// ScopedPlatform; it must outlive that scope.

#ifndef CORVANE_TESTS_FAKE_PLATFORM_H_
#define CORVANE_TESTS_FAKE_PLATFORM_H_

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "host/host_api.h"
#include "platform/platform.h"

namespace corvane {
namespace test {

class FakePlatform : public Platform {
 public:
  // --- The main program ---
  bool hasMainProgram = true;
  std::map<std::string, ExportedFunction> exports;
  std::vector<std::string> exportLookups;

  void* MainProgram() override {
    return hasMainProgram ? &exports : nullptr;
  }
  ExportedFunction FindExport(void* /*program*/, const char* name) override {
    exportLookups.push_back(name);
    auto found = exports.find(name);
    return found == exports.end() ? nullptr : found->second;
  }
  int CompareText(const char* a, const char* b) override {
    return std::strcmp(a, b);
  }

  // Makes the main program a complete host: every BKA_ function exported,
  // each one doing nothing, except `getVersion` for BKA_GetVersion.
  void ExportHostFunctions(HostTextFunction getVersion) {
    for (const char* name : kHostFunctionNames) {
      exports[name] = reinterpret_cast<ExportedFunction>(&DoNothing);
    }
    exports["BKA_GetVersion"] = reinterpret_cast<ExportedFunction>(getVersion);
  }

  // --- Settings: key path (names joined by '\') to value name to data ---
  std::map<std::string, std::map<std::string, std::string>> settings;
  std::vector<std::string> keysOpened;  // every successful opening, in order
  int openKeyCount = 0;                 // opened and not yet closed

  void SetSetting(const std::string& keyPath, const std::string& name,
                  const std::string& data) {
    settings[keyPath][name] = data;
    // Every key above it exists as well.
    for (size_t cut = keyPath.find('\\'); cut != std::string::npos;
         cut = keyPath.find('\\', cut + 1)) {
      settings[keyPath.substr(0, cut)];
    }
  }

  UserKey UserRoot() override { return &root; }
  UserKey OpenUserKey(UserKey parent, const char* name) override {
    const std::string& parentPath = static_cast<Key*>(parent)->path;
    std::string path = parentPath.empty() ? name : parentPath + "\\" + name;
    if (settings.count(path) == 0) return nullptr;
    keysOpened.push_back(path);
    ++openKeyCount;
    return new Key{path};
  }
  bool ReadUserValue(UserKey key, const char* name, void* data,
                     uint32_t* size) override {
    const auto& values = settings[static_cast<Key*>(key)->path];
    auto value = values.find(name);
    if (value == values.end() || value->second.size() > *size) return false;
    std::memcpy(data, value->second.data(), value->second.size());
    *size = static_cast<uint32_t>(value->second.size());
    return true;
  }
  void CloseUserKey(UserKey key) override {
    --openKeyCount;
    delete static_cast<Key*>(key);
  }

  // --- Files: path to content and modification time ---
  struct File {
    std::string content;
    int64_t modified = 0;
  };
  std::map<std::string, File> files;
  int openFileCount = 0;  // opened and not yet closed

  FileHandle OpenFileForReading(const char* path) override {
    auto found = files.find(path);
    if (found == files.end()) return nullptr;
    ++openFileCount;
    return &found->second;
  }
  bool GetFileLength(FileHandle file, uint64_t* length) override {
    *length = static_cast<File*>(file)->content.size();
    return true;
  }
  int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                     uint32_t size) override {
    const std::string& content = static_cast<File*>(file)->content;
    if (offset >= content.size()) return 0;
    size_t count = std::min<size_t>(size, content.size() - offset);
    std::memcpy(buffer, content.data() + offset, count);
    return static_cast<int64_t>(count);
  }
  void CloseFile(FileHandle) override { --openFileCount; }
  bool QueryFileStatus(const char* path, int64_t* modified) override {
    auto found = files.find(path);
    if (found == files.end()) return false;
    if (modified != nullptr) *modified = found->second.modified;
    return true;
  }

  // --- Everything else ---
  std::vector<std::string> debugWrites;
  void WriteDebugText(const char* text) override { debugWrites.push_back(text); }
  bool ReadLibraryVersion(void*, uint16_t*) override { return false; }
  bool IsLeadByte(unsigned char byte) override {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  }

 private:
  static int CORVANE_STDCALL DoNothing() { return 0; }

  struct Key {
    std::string path;
  };
  Key root{""};
};

// Puts a platform in place for the life of the scope.
class ScopedPlatform {
 public:
  explicit ScopedPlatform(Platform* platform)
      : previous(Platform::Replace(platform)) {}
  ~ScopedPlatform() { Platform::Replace(previous); }
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

 private:
  Platform* previous;
};

// The little-endian bytes of a REG_DWORD value.
inline std::string DwordData(uint32_t value) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>(value >> (8 * i));
  return data;
}

}  // namespace test
}  // namespace corvane

#endif  // CORVANE_TESTS_FAKE_PLATFORM_H_
