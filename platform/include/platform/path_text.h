#pragma once
// The one crossing between paths and text. Text inside the programs is UTF-8; a path's
// native form is UTF-16 on Windows and bytes elsewhere, so every conversion goes through
// these two functions, and messages show paths with the native separator.
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

std::string pathToText(const std::filesystem::path& path);
std::filesystem::path textToPath(std::string_view text);

// A typed path with every run of two or more `separator`s made one, except the pair that opens
// a network path ("\\server\share\...") where the separator is the backslash.
std::string collapseSeparators(std::string_view text, char separator);

}  // namespace platform
