#pragma once
// Creating one generated file: the content goes straight to disk, and a file that could not be
// written completely is removed, so that a later generation pass never takes it as present.
#include <filesystem>
#include <functional>

#include "platform/byte_sink.h"

namespace velk_mur {

// Creates (or replaces) the file, runs `writeContent` on it and closes it. False when the
// file cannot be created, a write fails or closing fails; then the file is removed.
bool writeGeneratedFile(const std::filesystem::path& path,
                        const std::function<bool(platform::ByteSink&)>& writeContent);

}  // namespace velk_mur
