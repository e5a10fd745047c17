#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "host/host_names.h"
#include "tools/standin_host/host_settings.h"

namespace corvane {
namespace standin {

namespace {

constexpr char kAlwaysRead[] = "AlwaysRead";

std::string SettingsKeyPath() {
  return std::string("software\\") + kHostCompanyName + "\\" +
         kHostApplicationName + "\\settings";
}

// Closes the key when it goes out of scope.
class ScopedKey {
 public:
  ScopedKey() = default;
  ~ScopedKey() {
    if (key != nullptr) ::RegCloseKey(key);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  HKEY* Receive() { return &key; }
  HKEY Get() const { return key; }

 private:
  HKEY key = nullptr;
};

}  // namespace

std::optional<uint32_t> LoadAlwaysRead() {
  ScopedKey key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, KEY_READ,
                      key.Receive()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegQueryValueExA(key.Get(), kAlwaysRead, nullptr, &type,
                         reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return std::nullopt;
  }
  return value;
}

bool StoreAlwaysRead(std::optional<uint32_t> value) {
  ScopedKey key;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0,
                        nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  if (!value) {
    LONG result = ::RegDeleteValueA(key.Get(), kAlwaysRead);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
  }
  DWORD data = *value;
  return ::RegSetValueExA(key.Get(), kAlwaysRead, 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

}  // namespace standin
}  // namespace corvane
