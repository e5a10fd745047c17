// The operating system's part of loading a plug-in library, one
// implementation per platform (library_loading_windows.cc,
// library_loading_posix.cc). PluginLibrary builds on it; nothing else should.
//
// Windows runs a library's entry point itself and fails the load when the
// entry point answers zero. Elsewhere the loader plays that part: it calls
// the library's exported DllMain for process attach after loading it, and
// for process detach before unloading it.

#ifndef CORVANE_TOOLS_STANDIN_HOST_LIBRARY_LOADING_H_
#define CORVANE_TOOLS_STANDIN_HOST_LIBRARY_LOADING_H_

#include <string>

namespace corvane {
namespace standin {

enum class LoadResult {
  kLoaded,
  kRefused,  // the library's entry point answered zero for process attach
  kFailed,   // not found, not a library, or no entry point
};

// An exported function as the lookup yields it; the caller converts it to
// the function's real type.
using LibraryFunction = void (*)();

// Loads the library at `path`, which must be absolute, and runs its entry
// point for process attach. On kLoaded, sets *handle, which the caller
// closes with CloseLibrary; on kFailed, sets *error.
LoadResult OpenLibrary(const std::string& path, void** handle,
                       std::string* error);

// The function `handle`'s library exports as `name`, or null.
LibraryFunction FindLibraryExport(void* handle, const char* name);

// Runs the entry point for process detach and unloads the library.
void CloseLibrary(void* handle);

// The directory of this program's executable, ending in a separator.
std::string ProgramDirectory();

// The file name extension of a loadable library, with its dot.
extern const char kLibraryExtension[];

}  // namespace standin
}  // namespace corvane

#endif  // CORVANE_TOOLS_STANDIN_HOST_LIBRARY_LOADING_H_
