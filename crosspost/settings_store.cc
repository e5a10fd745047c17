#include "crosspost/settings_store.h"

#include <cstring>

namespace corvane {

SettingsStore::SettingsStore(const char* companyName,
                             const char* applicationName)
    : companyName(companyName), applicationName(applicationName) {}

SettingsStore::~SettingsStore() = default;

UserKey SettingsStore::OpenApplicationKey() {
  Platform& platform = Platform::Current();
  UserKey software = platform.OpenUserKey(platform.UserRoot(), "software");
  UserKey company = nullptr;
  UserKey application = nullptr;
  if (software != nullptr) {
    company = platform.OpenUserKey(software, companyName.c_str());
  }
  if (company != nullptr) {
    application = platform.OpenUserKey(company, applicationName.c_str());
  }
  if (company != nullptr) platform.CloseUserKey(company);
  if (software != nullptr) platform.CloseUserKey(software);
  return application;
}

UserKey SettingsStore::OpenSectionKey(const char* section) {
  UserKey application = OpenApplicationKey();
  if (application == nullptr) return nullptr;
  Platform& platform = Platform::Current();
  UserKey sectionKey = platform.OpenUserKey(application, section);
  platform.CloseUserKey(application);
  return sectionKey;
}

int32_t SettingsStore::GetInt(const char* section, const char* valueName,
                              int32_t defaultValue) {
  UserKey sectionKey = OpenSectionKey(section);
  if (sectionKey == nullptr) return defaultValue;
  Platform& platform = Platform::Current();
  // The data lands in the bytes of the default, little-endian, so shorter
  // data keeps the default's high-order bytes as the host's reads do.
  unsigned char bytes[4];
  uint32_t value = static_cast<uint32_t>(defaultValue);
  for (int i = 0; i < 4; ++i) bytes[i] = (value >> (8 * i)) & 0xFF;
  uint32_t size = sizeof bytes;
  int32_t result = defaultValue;
  if (platform.ReadUserValue(sectionKey, valueName, bytes, &size)) {
    value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    std::memcpy(&result, &value, sizeof result);
  }
  platform.CloseUserKey(sectionKey);
  return result;
}

}  // namespace corvane
