// The platform as a POSIX system offers it.
//
// Stand-ins for what POSIX lacks:
// - The per-user settings are a directory tree named by the environment
//   variable CORVANE_USER_REGISTRY: a key is a directory, a value is a file
//   whose bytes are the value's data. Names match without regard to ASCII
//   letter case, as registry names do. Without the variable there are no
//   settings at all, so every read gives its default.
// - Debug output goes to a function `DebugOutputListener(const char*)` that
//   the main program may export, as a debugger listens on Windows. Without a
//   listener the text goes nowhere.
// - The library's version is the exported record `CorvaneFileVersion` of the
//   library loaded as `instance` (the handle the loader passed to the entry
//   point); a library built without it has no version information.
// - The host's ids separate folders with backslashes, so file paths take a
//   backslash as the separator it stands for.
// - Lead bytes are those of code page 932, so that this build takes texts
//   apart exactly as the Windows build does on a Japanese system.

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace corvane {

namespace {

struct SettingsKey {
  std::string path;
};

using DebugListener = void (*)(const char*);

// Finds `name` in `directory`, the exact spelling first.
bool FindEntry(const std::string& directory, const char* name,
               std::string* path) {
  if (std::strchr(name, '/') != nullptr || std::strcmp(name, ".") == 0 ||
      std::strcmp(name, "..") == 0) {
    return false;
  }
  std::string exact = directory + "/" + name;
  struct stat status;
  if (::stat(exact.c_str(), &status) == 0) {
    *path = exact;
    return true;
  }
  DIR* listing = ::opendir(directory.c_str());
  if (listing == nullptr) return false;
  bool found = false;
  while (dirent* entry = ::readdir(listing)) {
    if (::strcasecmp(entry->d_name, name) == 0) {
      *path = directory + "/" + entry->d_name;
      found = true;
      break;
    }
  }
  ::closedir(listing);
  return found;
}

std::string ToPosixPath(const char* path) {
  std::string posixPath = path;
  for (char& byte : posixPath) {
    if (byte == '\\') byte = '/';
  }
  return posixPath;
}

class PosixPlatform final : public Platform {
 public:
  void* MainProgram() override { return ::dlopen(nullptr, RTLD_NOW); }

  ExportedFunction FindExport(void* program, const char* name) override {
    void* address = ::dlsym(program, name);
    return reinterpret_cast<ExportedFunction>(address);
  }

  int CompareText(const char* a, const char* b) override {
    return std::strcmp(a, b);
  }

  // The variable is read afresh, so a program may set it up after start.
  UserKey UserRoot() override {
    const char* path = std::getenv("CORVANE_USER_REGISTRY");
    root.path = path != nullptr ? path : "";
    return &root;
  }

  UserKey OpenUserKey(UserKey parent, const char* name) override {
    const std::string& parentPath = static_cast<SettingsKey*>(parent)->path;
    if (parentPath.empty()) return nullptr;
    std::string path;
    struct stat status;
    if (!FindEntry(parentPath, name, &path) ||
        ::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
      return nullptr;
    }
    return new SettingsKey{path};
  }

  bool ReadUserValue(UserKey key, const char* name, void* data,
                     uint32_t* size) override {
    std::string path;
    if (!FindEntry(static_cast<SettingsKey*>(key)->path, name, &path)) {
      return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    // One byte more than there is room for tells a value that is too large.
    unsigned char bytes[256];
    size_t room = *size < sizeof bytes - 1 ? *size : sizeof bytes - 1;
    size_t length = std::fread(bytes, 1, room + 1, file);
    bool readWhole = !std::ferror(file);
    std::fclose(file);
    if (!readWhole || length > *size) return false;
    std::memcpy(data, bytes, length);
    *size = static_cast<uint32_t>(length);
    return true;
  }

  void CloseUserKey(UserKey key) override {
    if (key != &root) delete static_cast<SettingsKey*>(key);
  }

  FileHandle OpenFileForReading(const char* path) override {
    int descriptor = ::open(ToPosixPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
      ::close(descriptor);
      return nullptr;
    }
    return new int(descriptor);
  }

  bool GetFileLength(FileHandle file, uint64_t* length) override {
    struct stat status;
    if (::fstat(*static_cast<int*>(file), &status) != 0) return false;
    *length = static_cast<uint64_t>(status.st_size);
    return true;
  }

  int64_t ReadFileAt(FileHandle file, uint64_t offset, void* buffer,
                     uint32_t size) override {
    int descriptor = *static_cast<int*>(file);
    uint32_t done = 0;
    while (done < size) {
      ssize_t got = ::pread(descriptor, static_cast<char*>(buffer) + done,
                            size - done, static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return -1;
      if (got == 0) break;
      done += static_cast<uint32_t>(got);
    }
    return done;
  }

  void CloseFile(FileHandle file) override {
    ::close(*static_cast<int*>(file));
    delete static_cast<int*>(file);
  }

  bool QueryFileStatus(const char* path, int64_t* modified) override {
    struct stat status;
    if (::stat(ToPosixPath(path).c_str(), &status) != 0) return false;
    if (modified != nullptr) *modified = static_cast<int64_t>(status.st_mtime);
    return true;
  }

  void WriteDebugText(const char* text) override {
    auto listener = reinterpret_cast<DebugListener>(
        ::dlsym(RTLD_DEFAULT, "DebugOutputListener"));
    if (listener != nullptr) listener(text);
  }

  bool ReadLibraryVersion(void* instance, uint16_t parts[4]) override {
    if (instance == nullptr) return false;
    auto* record =
        static_cast<const uint16_t*>(::dlsym(instance, "CorvaneFileVersion"));
    if (record == nullptr) return false;
    std::memcpy(parts, record, 4 * sizeof(uint16_t));
    return true;
  }

  bool IsLeadByte(unsigned char byte) override {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  }

 private:
  SettingsKey root;
};

}  // namespace

Platform& BuildPlatform() {
  static PosixPlatform platform;
  return platform;
}

}  // namespace corvane
