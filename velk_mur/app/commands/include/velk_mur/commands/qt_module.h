#pragma once
// The interface of velk_mur's Qt module, velk_mur_qt: the C functions it exports, which the
// program looks up by name after loading it.
//
// The program itself links no Qt, so that the command line, --help and every job run from a
// script start fast and work on a machine without a display or without Qt's plugins; the
// module is loaded only when a window opens or a picture is drawn.
#include <cstddef>

#include "velk_mur/preview/recording_preview.h"

#ifdef _WIN32
#define VELK_MODULE_EXPORT __declspec(dllexport)
#else
#define VELK_MODULE_EXPORT __attribute__((visibility("default")))
#endif

namespace velk_mur {

// Runs the dialog: `argc` and `argv` as main got them; returns the exit status.
inline constexpr const char* kRunDialogEntryPoint = "velk_mur_run_dialog";
using RunDialogFunction = int(int argc, char** argv);

// Saves the preview as PNG or SVG by the file's extension: 1 on success, else 0 with the
// reason in `problem` (cut to problemSize - 1).
inline constexpr const char* kRenderPreviewEntryPoint = "velk_mur_render_preview";
using RenderPreviewFunction = int(const RecordingPreview* preview, const char* outputPath,
                                  char* problem, std::size_t problemSize);

}  // namespace velk_mur
