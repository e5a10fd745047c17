#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "host/host_names.h"
#include "tools/standin_host/host_settings.h"

namespace corvane {
namespace standin {

namespace {

namespace fs = std::filesystem;

// A settings directory this process made, removed again at exit.
class OwnSettingsDirectory {
 public:
  ~OwnSettingsDirectory() {
    if (path.empty()) return;
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }

  // Makes the directory and points the environment at it. False when it
  // cannot be made.
  bool Make() {
    std::string pattern =
        (fs::temp_directory_path() / "standin-host-settings-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return false;
    path = pattern;
    return ::setenv("CORVANE_USER_REGISTRY", path.c_str(), 1) == 0;
  }

 private:
  std::string path;
};

// The file of the AlwaysRead value, or an empty path when there is no
// settings directory and `make` is false.
fs::path AlwaysReadFile(bool make) {
  const char* root = std::getenv("CORVANE_USER_REGISTRY");
  if (root == nullptr || *root == '\0') {
    static OwnSettingsDirectory own;
    if (!make || !own.Make()) return fs::path();
    root = std::getenv("CORVANE_USER_REGISTRY");
  }
  return fs::path(root) / "software" / kHostCompanyName / kHostApplicationName /
         "settings" / "AlwaysRead";
}

}  // namespace

std::optional<uint32_t> LoadAlwaysRead() {
  fs::path file = AlwaysReadFile(/*make=*/false);
  if (file.empty()) return std::nullopt;
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (in == nullptr) return std::nullopt;
  unsigned char bytes[5];
  size_t length = std::fread(bytes, 1, sizeof bytes, in);
  std::fclose(in);
  if (length != 4) return std::nullopt;
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 |
         uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

bool StoreAlwaysRead(std::optional<uint32_t> value) {
  fs::path file = AlwaysReadFile(/*make=*/true);
  if (file.empty()) return false;
  std::error_code error;
  if (!value) {
    fs::remove(file, error);
    return !error;
  }
  fs::create_directories(file.parent_path(), error);
  if (error) return false;
  // A REG_DWORD's data: four bytes, least significant first.
  unsigned char bytes[4];
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<unsigned char>(*value >> (8 * i));
  }
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) return false;
  bool written = std::fwrite(bytes, 1, sizeof bytes, out) == sizeof bytes;
  return std::fclose(out) == 0 && written;
}

}  // namespace standin
}  // namespace corvane
