// preview and inspect on the command line.
#include <CLI/CLI.hpp>
#include <memory>

#include "command_line.h"
#include "velk_mur/commands/module_loader.h"
#include "velk_mur/commands/preview_commands.h"
#include "velk_mur/commands/qt_module.h"

namespace velk_mur {

void registerPreviewCommands(CommandLine& commandLine) {
  struct PreviewOptions {
    std::string recording;
    std::string output;
  };
  auto options = std::make_shared<PreviewOptions>();
  CLI::App& preview = commandLine.addCommand(
      "preview", "draw what the robot does for recording NAME, as PNG or SVG",
      [options](CommandContext& context) {
        // The picture is drawn by the Qt module, loaded only now and only for this command.
        const ModuleEntry module = moduleEntryPoint(Module::Qt, kRenderPreviewEntryPoint);
        return runPreview(context.paths, options->recording, options->output, context.environment,
                          context.messenger, reinterpret_cast<RenderPreviewFunction*>(module.entry),
                          module.problem)
            .ok;
      });
  preview.add_option("NAME", options->recording, "the recording, without .wav")->required();
  preview.add_option("--out", options->output,
                     "the picture file, .png or .svg (default NAME.png in the current folder)");
  commandLine.addPathOptions(preview);

  CLI::App& inspect = commandLine.addCommand(
      "inspect", "show what is on the stick and check that its files agree",
      [](CommandContext& context) { return runInspect(context.paths, context.messenger).ok; });
  commandLine.addPathOptions(inspect);
}

}  // namespace velk_mur
