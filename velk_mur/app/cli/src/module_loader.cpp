#include "module_loader.h"

#include <filesystem>
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

void* openLibrary(const fs::path& path, std::string& error) {
#ifdef _WIN32
  void* handle = reinterpret_cast<void*>(LoadLibraryW(path.c_str()));
  if (handle == nullptr) error = "error " + std::to_string(GetLastError());
#else
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) error = ::dlerror();
#endif
  return handle;
}

LoadedModule loadModule() {
  const fs::path folder = programFolder();
  const std::vector<fs::path> candidates = {folder / qtModuleFileName(),
                                            folder / ".." / "lib" / "velk" / qtModuleFileName()};
  LoadedModule module;
  for (const fs::path& candidate : candidates) {
    std::error_code error;
    if (!fs::exists(candidate, error)) continue;
    std::string reason;
    module.handle = openLibrary(candidate, reason);
    if (module.handle != nullptr) return module;
    module.error = "cannot load " + platform::pathToText(candidate) + ": " + reason;
    return module;
  }
  module.error = std::string(qtModuleFileName()) + " not found in " +
                 platform::pathToText(candidates[0].parent_path()) + " or " +
                 platform::pathToText(candidates[1].parent_path().lexically_normal());
  return module;
}

}  // namespace

const char* qtModuleFileName() {
  return VELK_MUR_QT_MODULE;
}

ModuleEntry qtModuleEntryPoint(const char* name) {
  static const LoadedModule module = loadModule();
  if (module.handle == nullptr) return {nullptr, module.error};
#ifdef _WIN32
  void* entry = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module.handle), name));
#else
  void* entry = ::dlsym(module.handle, name);
#endif
  if (entry == nullptr)
    return {nullptr, std::string(qtModuleFileName()) + " has no entry point " + name};
  return {entry, {}};
}

}  // namespace velk_mur
