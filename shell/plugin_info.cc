#include "shell/plugin_info.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace corvane {

namespace {

constexpr char kDisplayName[] = "Corvane plug-in";
constexpr char kVendorName[] = "Quendra";
constexpr char kDescription[] =
    "It would be automatic and the mail by which crossposting was carried "
    "out would be read.";

static_assert(sizeof kDisplayName <= sizeof(PluginInfo::displayName), "fits");
static_assert(sizeof kVendorName <= sizeof(PluginInfo::vendorName), "fits");
static_assert(sizeof kDescription == sizeof(PluginInfo::descriptionText),
              "the description fills its field exactly");

// Copies the text and its terminator, and not one byte more: the rest of the
// field stays the host's.
template <size_t N, size_t M>
void CopyWhole(char (&field)[N], const char (&text)[M]) {
  static_assert(M <= N, "text fits its field");
  std::memcpy(field, text, M);
}

}  // namespace

void FillPluginInfo(PluginInfo* record, void* instance) {
  CopyWhole(record->displayName, kDisplayName);
  CopyWhole(record->vendorName, kVendorName);
  CopyWhole(record->descriptionText, kDescription);

  uint16_t parts[4];
  if (!Platform::Current().ReadLibraryVersion(instance, parts)) return;
  std::snprintf(record->versionText, sizeof record->versionText,
                "%d.%d.%d.%d", parts[0], parts[1], parts[2], parts[3]);
}

}  // namespace corvane
