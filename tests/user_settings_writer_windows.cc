#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/user_settings_writer.h"

namespace corvane {
namespace test {

namespace {

HKEY CreateUserKey(const std::string& path) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    std::abort();
  }
  return key;
}

std::string FullPath(const std::string& company, const std::string& keyPath) {
  std::string path = "software\\" + company;
  if (!keyPath.empty()) path += "\\" + keyPath;
  return path;
}

void WriteValue(const std::string& path, const char* name, DWORD type,
                const void* data, DWORD size) {
  HKEY key = CreateUserKey(path);
  ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  ::RegCloseKey(key);
}

}  // namespace

UserSettingsWriter::UserSettingsWriter(const std::string& company)
    : company(company) {}

UserSettingsWriter::~UserSettingsWriter() {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, FullPath(company, "").c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER, FullPath(company, "").c_str());
}

void UserSettingsWriter::CreateKey(const std::string& keyPath) {
  ::RegCloseKey(CreateUserKey(FullPath(company, keyPath)));
}

void UserSettingsWriter::WriteDword(const std::string& keyPath,
                                    const char* name, uint32_t value) {
  DWORD data = value;
  WriteValue(FullPath(company, keyPath), name, REG_DWORD, &data, sizeof data);
}

void UserSettingsWriter::WriteString(const std::string& keyPath,
                                     const char* name, const char* text) {
  WriteValue(FullPath(company, keyPath), name, REG_SZ, text,
             static_cast<DWORD>(std::strlen(text) + 1));
}

}  // namespace test
}  // namespace corvane
