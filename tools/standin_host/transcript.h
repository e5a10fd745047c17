// How the stand-in host's transcript shows texts and journal events.
//
// Transcripts are compared across runs and platforms, so nothing here
// depends on the machine: texts are shown as the plug-in wrote them, with
// control bytes escaped (\n, \xNN), and with the plug-in's two code page 932
// trace labels decoded to UTF-8 so that a terminal can show them. Other
// bytes pass through raw; backslashes and quotes stay as they are, since
// mail ids are full of backslashes.

#ifndef CORVANE_TOOLS_STANDIN_HOST_TRANSCRIPT_H_
#define CORVANE_TOOLS_STANDIN_HOST_TRANSCRIPT_H_

#include <string>

#include "tools/standin_host/host_state.h"

namespace corvane {
namespace standin {

// `raw` in double quotes, for one transcript line.
std::string QuoteText(const std::string& raw);

// One line for `event`, e.g. BKA_GetStatus("News\?1") -> 0.
std::string DescribeEvent(const HostEvent& event);

}  // namespace standin
}  // namespace corvane

#endif  // CORVANE_TOOLS_STANDIN_HOST_TRANSCRIPT_H_
