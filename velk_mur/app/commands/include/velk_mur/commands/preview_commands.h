#pragma once
// The two commands that look without changing anything: the picture of a recording's action,
// and the inspection of the stick.
#include <string_view>

#include "platform/messenger.h"
#include "velk_mur/commands/app_settings.h"
#include "velk_mur/commands/commands.h"
#include "velk_mur/commands/qt_module.h"
#include "velk_mur/preview/recording_preview.h"

namespace velk_mur {

// Draws the recording `name` of the audio folder into `outputText` (PNG or SVG by its
// extension; NAME.png in the current folder when empty) with `render`, which the caller takes
// from the Qt module; without it, reports `renderProblem`, why the module offers none.
// Reports the picture's path once it is written.
CommandResult runPreview(const PathTexts& paths, std::string_view name, std::string_view outputText,
                         const AppEnvironment& environment, platform::Messenger& messenger,
                         RenderPreviewFunction* render, std::string_view renderProblem);

// Shows what is on the stick, then one line per problem or "Stick is consistent"; ok only
// when there is no problem.
CommandResult runInspect(const PathTexts& paths, platform::Messenger& messenger);

}  // namespace velk_mur
