// UserSettingsWriter: writes into the current user's real settings store
// (the registry on Windows, the settings directory elsewhere), so that tests
// can read through the platform exactly as the plug-in does.
//
// Everything it writes lives below software\<company>, which it removes
// again when destroyed. Pick a company name no real program uses.

#ifndef CORVANE_TESTS_USER_SETTINGS_WRITER_H_
#define CORVANE_TESTS_USER_SETTINGS_WRITER_H_

#include <cstdint>
#include <string>

namespace corvane {
namespace test {

class UserSettingsWriter {
 public:
  explicit UserSettingsWriter(const std::string& company);
  ~UserSettingsWriter();

  UserSettingsWriter(const UserSettingsWriter&) = delete;
  UserSettingsWriter& operator=(const UserSettingsWriter&) = delete;

  // `keyPath` is below software\<company>, its names joined by '\'. Missing
  // keys on the way are made.
  void CreateKey(const std::string& keyPath);
  void WriteDword(const std::string& keyPath, const char* name, uint32_t value);
  // Stores the text with its terminator, as a string value holds it.
  void WriteString(const std::string& keyPath, const char* name,
                   const char* text);

 private:
  std::string company;
};

}  // namespace test
}  // namespace corvane

#endif  // CORVANE_TESTS_USER_SETTINGS_WRITER_H_
