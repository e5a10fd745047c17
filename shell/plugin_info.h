// PluginInfo: the record in which the plug-in describes itself to the host.
//
// The host owns the record and passes it to BKC_OnPlugInInfo; the plug-in
// only writes its four texts, each with its terminator, and leaves every
// other byte as the host put it.

#ifndef CORVANE_SHELL_PLUGIN_INFO_H_
#define CORVANE_SHELL_PLUGIN_INFO_H_

#include <cstddef>

namespace corvane {

struct PluginInfo {
  char displayName[80];
  char vendorName[80];
  char versionText[80];
  // The host's record reaches at least to the end of this field; the
  // description and its terminator fill it exactly.
  char descriptionText[88];
};

static_assert(offsetof(PluginInfo, vendorName) == 80, "host record layout");
static_assert(offsetof(PluginInfo, versionText) == 160, "host record layout");
static_assert(offsetof(PluginInfo, descriptionText) == 240,
              "host record layout");
static_assert(sizeof(PluginInfo) == 328, "host record layout");

// Writes the plug-in's four texts into `record`. The version text comes from
// the version information of the library loaded as `instance`; when it has
// none, versionText is left as the host put it.
// REQUIRES: record is not null.
void FillPluginInfo(PluginInfo* record, void* instance);

}  // namespace corvane

#endif  // CORVANE_SHELL_PLUGIN_INFO_H_
