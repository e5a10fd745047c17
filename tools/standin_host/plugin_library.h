// PluginLibrary: a plug-in library loaded into this process the way the host
// loads one, and its callbacks, called by their exported names.
//
// Loading runs the library's entry point for process attach; a plug-in that
// answers zero there refuses the load. Destroying the object unloads the
// library. Each object loads the library anew, so a process may load the
// same file again after unloading it (Windows and glibc both run its entry
// point and static initialisers again then).
//
// Used from one thread, as the host calls its plug-ins.

#ifndef CORVANE_TOOLS_STANDIN_HOST_PLUGIN_LIBRARY_H_
#define CORVANE_TOOLS_STANDIN_HOST_PLUGIN_LIBRARY_H_

#include <memory>
#include <string>

#include "tools/standin_host/library_loading.h"

namespace corvane {
namespace standin {

class PluginLibrary {
 public:
  // Loads the library at `path` (relative paths from the working
  // directory). On kLoaded, *library owns the loaded library; on kFailed,
  // *error says why, which includes a library lacking one of the callbacks
  // below. Starts debug capture first, so that nothing the library writes
  // is missed.
  static LoadResult Load(const std::string& path,
                         std::unique_ptr<PluginLibrary>* library,
                         std::string* error);

  ~PluginLibrary();

  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // The callbacks the host drives; each returns the plug-in's answer.
  int OnStart();
  int OnExit();
  int OnOpenMail(const char* mailId);
  // REQUIRES: `record` has room for the plug-in's information record.
  int OnPlugInInfo(void* record);

 private:
  explicit PluginLibrary(void* handle) : handle(handle) {}

  // Resolves the callbacks; false with *missing set to the first one the
  // library does not export.
  bool FindCallbacks(std::string* missing);

  void* handle;
  LibraryFunction onStart = nullptr;
  LibraryFunction onExit = nullptr;
  LibraryFunction onOpenMail = nullptr;
  LibraryFunction onPlugInInfo = nullptr;
};

// The path of the plug-in library named `baseName` (without extension) in
// this program's own directory, where the build puts every binary.
std::string LibraryBesideProgram(const std::string& baseName);

}  // namespace standin
}  // namespace corvane

#endif  // CORVANE_TOOLS_STANDIN_HOST_PLUGIN_LIBRARY_H_
