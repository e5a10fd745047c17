#include <dlfcn.h>

#include <filesystem>

#include "tools/standin_host/library_loading.h"

namespace corvane {
namespace standin {

namespace {

using EntryPoint = int (*)(void* instance, unsigned long reason,
                           void* reserved);

constexpr unsigned long kProcessDetach = 0;
constexpr unsigned long kProcessAttach = 1;

EntryPoint FindEntryPoint(void* handle) {
  return reinterpret_cast<EntryPoint>(::dlsym(handle, "DllMain"));
}

}  // namespace

const char kLibraryExtension[] = ".so";

LoadResult OpenLibrary(const std::string& path, void** handle,
                       std::string* error) {
  // RTLD_LOCAL, as on Windows: the library's symbols must not satisfy
  // anyone else's lookups, the host's own included.
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    *error = ::dlerror();
    return LoadResult::kFailed;
  }
  EntryPoint entryPoint = FindEntryPoint(library);
  if (entryPoint == nullptr) {
    ::dlclose(library);
    *error = path + " exports no DllMain";
    return LoadResult::kFailed;
  }
  if (entryPoint(library, kProcessAttach, nullptr) == 0) {
    ::dlclose(library);
    return LoadResult::kRefused;
  }
  *handle = library;
  return LoadResult::kLoaded;
}

LibraryFunction FindLibraryExport(void* handle, const char* name) {
  return reinterpret_cast<LibraryFunction>(::dlsym(handle, name));
}

void CloseLibrary(void* handle) {
  FindEntryPoint(handle)(handle, kProcessDetach, nullptr);
  ::dlclose(handle);
}

std::string ProgramDirectory() {
  std::filesystem::path program =
      std::filesystem::read_symlink("/proc/self/exe");
  return program.parent_path().string() + "/";
}

}  // namespace standin
}  // namespace corvane
