// How the stand-in host marks the functions that its executable exports.
//
// The plug-in looks the host's functions up by name in the main program, so
// they must sit in the executable's own export table: a dllexport on
// Windows, default visibility elsewhere (the project builds with hidden
// visibility, and the executable is linked to export its dynamic symbols).

#ifndef CORVANE_TOOLS_STANDIN_HOST_HOST_EXPORT_H_
#define CORVANE_TOOLS_STANDIN_HOST_HOST_EXPORT_H_

#include "platform/calling_convention.h"

#if defined(_WIN32)
#define STANDIN_HOST_EXPORT __declspec(dllexport)
#else
#define STANDIN_HOST_EXPORT __attribute__((visibility("default")))
#endif

#endif  // CORVANE_TOOLS_STANDIN_HOST_HOST_EXPORT_H_
