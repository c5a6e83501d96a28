#include "velk_mur/commands/module_loader.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <vector>

#include "platform/path_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

fs::path programFolder() {
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return fs::path(buffer.substr(0, length)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
#else
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : program.parent_path();
#endif
}

struct LoadedModule {
  void* handle = nullptr;
  std::string error;  // why it could not be loaded
};

LoadedModule openLibrary(const fs::path& path) {
#ifdef _WIN32
  void* handle = reinterpret_cast<void*>(LoadLibraryW(path.c_str()));
  if (handle == nullptr) return {nullptr, "error " + std::to_string(GetLastError())};
#else
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return {nullptr, ::dlerror()};
#endif
  return {handle, {}};
}

LoadedModule loadModule(const char* fileName) {
  const fs::path folder = programFolder();
  const std::vector<fs::path> candidates = {folder / fileName,
                                            folder / ".." / "lib" / "velk" / fileName};
  LoadedModule module;
  for (const fs::path& candidate : candidates) {
    std::error_code error;
    if (!fs::exists(candidate, error)) continue;
    module = openLibrary(candidate);
    if (module.handle == nullptr) {
      module.error = "cannot load " + platform::pathToText(candidate) + ": " + module.error;
    }
    return module;
  }
  module.error = std::string(fileName) + " not found in " +
                 platform::pathToText(candidates[0].parent_path()) + " or " +
                 platform::pathToText(candidates[1].parent_path().lexically_normal());
  return module;
}

}  // namespace

const char* moduleFileName(Module module) {
  return module == Module::Qt ? VELK_MUR_QT_MODULE : VELK_MUR_IMPORT_MODULE;
}

ModuleEntry moduleEntryPoint(Module module, const char* name) {
  static std::mutex mutex;
  static std::map<Module, LoadedModule> loaded;
  const std::lock_guard lock(mutex);
  auto found = loaded.find(module);
  if (found == loaded.end())
    found = loaded.emplace(module, loadModule(moduleFileName(module))).first;
  const LoadedModule& library = found->second;
  if (library.handle == nullptr) return {nullptr, library.error};
#ifdef _WIN32
  void* entry = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library.handle), name));
#else
  void* entry = ::dlsym(library.handle, name);
#endif
  if (entry == nullptr) {
    return {nullptr, std::string(moduleFileName(module)) + " has no entry point " + name};
  }
  return {entry, {}};
}

}  // namespace velk_mur
