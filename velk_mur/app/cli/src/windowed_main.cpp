// velk_murw.exe: the dialog as a Windows program of its own. Started from the Start menu or
// Explorer it opens no console window, which the command-line program velk_mur.exe would.
#include <windows.h>

#include <string>

#include "command_line.h"
#include "velk_mur/commands/module_loader.h"
#include "velk_mur/commands/qt_module.h"

namespace {

void showError(const std::string& text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), size);
  MessageBoxW(nullptr, wide.c_str(), L"VELK Murmelon", MB_OK | MB_ICONERROR);
}

}  // namespace

int main(int argc, char** argv) {
  const velk_mur::ModuleEntry module =
      velk_mur::moduleEntryPoint(velk_mur::Module::Qt, velk_mur::kRunDialogEntryPoint);
  auto* runDialog = reinterpret_cast<velk_mur::RunDialogFunction*>(module.entry);
  if (runDialog == nullptr) {
    showError("Cannot show the dialog: " + module.problem);
    return velk_mur::kExitFailure;
  }
  return runDialog(argc, argv);
}
