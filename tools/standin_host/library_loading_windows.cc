#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tools/standin_host/library_loading.h"

namespace corvane {
namespace standin {

const char kLibraryExtension[] = ".dll";

LoadResult OpenLibrary(const std::string& path, void** handle,
                       std::string* error) {
  HMODULE library = ::LoadLibraryA(path.c_str());
  if (library != nullptr) {
    *handle = library;
    return LoadResult::kLoaded;
  }
  DWORD code = ::GetLastError();
  // What Windows reports when the entry point answered zero.
  if (code == ERROR_DLL_INIT_FAILED) return LoadResult::kRefused;
  *error = "LoadLibraryA failed with error " + std::to_string(code);
  return LoadResult::kFailed;
}

LibraryFunction FindLibraryExport(void* handle, const char* name) {
  FARPROC address = ::GetProcAddress(static_cast<HMODULE>(handle), name);
  return reinterpret_cast<LibraryFunction>(address);
}

void CloseLibrary(void* handle) { ::FreeLibrary(static_cast<HMODULE>(handle)); }

std::string ProgramDirectory() {
  char path[MAX_PATH];
  DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string program(path, length < MAX_PATH ? length : 0);
  return program.substr(0, program.find_last_of("\\/") + 1);
}

}  // namespace standin
}  // namespace corvane
