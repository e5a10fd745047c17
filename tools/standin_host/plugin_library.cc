#include "tools/standin_host/plugin_library.h"

#include <filesystem>

#include "platform/calling_convention.h"
#include "tools/standin_host/debug_capture.h"

namespace corvane {
namespace standin {

namespace {

// The callbacks' real types: stdcall, one 32-bit value per argument.
using NoArgumentCallback = int(CORVANE_STDCALL*)();
using OpenMailCallback = int(CORVANE_STDCALL*)(const char* mailId);
using PlugInInfoCallback = int(CORVANE_STDCALL*)(void* record);

template <typename Callback>
Callback As(LibraryFunction function) {
  return reinterpret_cast<Callback>(function);
}

}  // namespace

LoadResult PluginLibrary::Load(const std::string& path,
                               std::unique_ptr<PluginLibrary>* library,
                               std::string* error) {
  StartDebugCapture();
  // Both platforms would otherwise search their library paths for a bare
  // name instead of taking it from the working directory.
  std::string absolutePath =
      std::filesystem::absolute(path).make_preferred().string();
  void* handle = nullptr;
  LoadResult result = OpenLibrary(absolutePath, &handle, error);
  if (result != LoadResult::kLoaded) return result;

  std::unique_ptr<PluginLibrary> loaded(new PluginLibrary(handle));
  std::string missing;
  if (!loaded->FindCallbacks(&missing)) {
    *error = absolutePath + " does not export " + missing;
    return LoadResult::kFailed;
  }
  *library = std::move(loaded);
  return LoadResult::kLoaded;
}

PluginLibrary::~PluginLibrary() { CloseLibrary(handle); }

int PluginLibrary::OnStart() { return As<NoArgumentCallback>(onStart)(); }

int PluginLibrary::OnExit() { return As<NoArgumentCallback>(onExit)(); }

int PluginLibrary::OnOpenMail(const char* mailId) {
  return As<OpenMailCallback>(onOpenMail)(mailId);
}

int PluginLibrary::OnPlugInInfo(void* record) {
  return As<PlugInInfoCallback>(onPlugInInfo)(record);
}

bool PluginLibrary::FindCallbacks(std::string* missing) {
  struct {
    const char* name;
    LibraryFunction* function;
  } callbacks[] = {
      {"BKC_OnStart", &onStart},
      {"BKC_OnExit", &onExit},
      {"BKC_OnOpenMail", &onOpenMail},
      {"BKC_OnPlugInInfo", &onPlugInInfo},
  };
  for (const auto& callback : callbacks) {
    *callback.function = FindLibraryExport(handle, callback.name);
    if (*callback.function == nullptr) {
      *missing = callback.name;
      return false;
    }
  }
  return true;
}

std::string LibraryBesideProgram(const std::string& baseName) {
  return ProgramDirectory() + baseName + kLibraryExtension;
}

}  // namespace standin
}  // namespace corvane
