// preview and inspect on the command line.
#include <CLI/CLI.hpp>
#include <memory>

#ifndef _WIN32
#include <dlfcn.h>
#endif

#include "velk_mur/app/command_line.h"
#include "velk_mur/app/preview_commands.h"

namespace velk_mur {

namespace {

// The picture is drawn by Qt code that this library must not link: its entry point is looked
// up by name when a preview is asked for. The program carries it when built with its dialog.
RenderPreviewFunction findPreviewRenderer() {
#ifdef _WIN32
  return nullptr;
#else
  return reinterpret_cast<RenderPreviewFunction>(::dlsym(RTLD_DEFAULT, kRenderPreviewEntryPoint));
#endif
}

}  // namespace

void registerPreviewCommands(CommandLine& commandLine) {
  struct PreviewOptions {
    std::string recording;
    std::string output;
  };
  auto options = std::make_shared<PreviewOptions>();
  CLI::App& preview = commandLine.addCommand(
      "preview", "draw what the robot does for recording NAME, as PNG or SVG",
      [options](CommandContext& context) {
        return runPreview(context.paths, options->recording, options->output, context.environment,
                          context.messenger, findPreviewRenderer())
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
