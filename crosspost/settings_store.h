// SettingsStore: reads integer settings that a program keeps in the current
// user's settings under software\<company>\<application>\<section>.
//
// It holds only its two names: every read opens and closes the whole key
// path anew, caches nothing and writes nothing. Made, read and destroyed
// within one call on the host's thread.

#ifndef CORVANE_CROSSPOST_SETTINGS_STORE_H_
#define CORVANE_CROSSPOST_SETTINGS_STORE_H_

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace corvane {

class SettingsStore {
 public:
  // Copies both names; touches no setting.
  SettingsStore(const char* companyName, const char* applicationName);
  virtual ~SettingsStore();

  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // The value `valueName` of `section`, or `defaultValue` when the key or
  // the value is missing or does not fit in four bytes. Data shorter than
  // four bytes replaces only the default's low-order bytes, as the host's
  // own reads do.
  virtual int32_t GetInt(const char* section, const char* valueName,
                         int32_t defaultValue);
  // software\<company>\<application>, opened for reading, or null. The
  // caller closes it with Platform::CloseUserKey.
  virtual UserKey OpenApplicationKey();
  // The section key below the application key, opened for reading, or null.
  // The caller closes it with Platform::CloseUserKey.
  virtual UserKey OpenSectionKey(const char* section);

 private:
  std::string companyName;
  std::string applicationName;
};

}  // namespace corvane

#endif  // CORVANE_CROSSPOST_SETTINGS_STORE_H_
