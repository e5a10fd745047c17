#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/user_settings_writer.h"

namespace corvane {
namespace test {

namespace {

// A settings directory of this process's own, removed when it ends.
class ProcessSettingsDirectory {
 public:
  ProcessSettingsDirectory() {
    char pattern[] = "/tmp/corvane-settings-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) std::abort();
    path = pattern;
    ::setenv("CORVANE_USER_REGISTRY", pattern, 1);
  }
  ~ProcessSettingsDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path path;
};

// The settings directory the platform reads; made for this process when the
// environment names none.
std::filesystem::path SettingsRoot() {
  if (const char* root = std::getenv("CORVANE_USER_REGISTRY")) return root;
  static ProcessSettingsDirectory directory;
  return directory.path;
}

std::filesystem::path KeyDirectory(const std::string& company,
                                   const std::string& keyPath) {
  std::filesystem::path directory = SettingsRoot() / "software" / company;
  size_t start = 0;
  while (start <= keyPath.size() && !keyPath.empty()) {
    size_t end = keyPath.find('\\', start);
    if (end == std::string::npos) end = keyPath.size();
    directory /= keyPath.substr(start, end - start);
    start = end + 1;
  }
  return directory;
}

void WriteData(const std::filesystem::path& file, const void* data,
               size_t size) {
  std::FILE* out = std::fopen(file.string().c_str(), "wb");
  if (out == nullptr) std::abort();
  std::fwrite(data, 1, size, out);
  std::fclose(out);
}

}  // namespace

UserSettingsWriter::UserSettingsWriter(const std::string& company)
    : company(company) {}

UserSettingsWriter::~UserSettingsWriter() {
  std::error_code ignored;
  std::filesystem::remove_all(KeyDirectory(company, ""), ignored);
}

void UserSettingsWriter::CreateKey(const std::string& keyPath) {
  std::filesystem::create_directories(KeyDirectory(company, keyPath));
}

void UserSettingsWriter::WriteDword(const std::string& keyPath,
                                    const char* name, uint32_t value) {
  CreateKey(keyPath);
  unsigned char bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
  WriteData(KeyDirectory(company, keyPath) / name, bytes, sizeof bytes);
}

void UserSettingsWriter::WriteString(const std::string& keyPath,
                                     const char* name, const char* text) {
  CreateKey(keyPath);
  WriteData(KeyDirectory(company, keyPath) / name, text,
            std::char_traits<char>::length(text) + 1);
}

}  // namespace test
}  // namespace corvane
