// The host's own per-user settings, of which the plug-in reads one:
// AlwaysRead, a REG_DWORD under software\<company>\<application>\settings
// below the current user's settings.
//
// On Windows that is the real registry, so a change outlives the process
// (and reaches a real host of the same names). Elsewhere it is the settings
// directory that the environment variable CORVANE_USER_REGISTRY names; when
// it names none, the first store makes a directory for this process, points
// the variable at it and removes it when the process ends.

#ifndef CORVANE_TOOLS_STANDIN_HOST_HOST_SETTINGS_H_
#define CORVANE_TOOLS_STANDIN_HOST_HOST_SETTINGS_H_

#include <cstdint>
#include <optional>

namespace corvane {
namespace standin {

// The stored AlwaysRead value, or none when it is absent or is no DWORD.
std::optional<uint32_t> LoadAlwaysRead();

// Stores `value` as AlwaysRead, making the keys on the way; none removes
// the value. False when the settings cannot be written.
bool StoreAlwaysRead(std::optional<uint32_t> value);

}  // namespace standin
}  // namespace corvane

#endif  // CORVANE_TOOLS_STANDIN_HOST_HOST_SETTINGS_H_
