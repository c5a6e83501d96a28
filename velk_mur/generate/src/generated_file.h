#pragma once
// Creating one generated file: its content, built in memory, goes to disk in one write, and a
// file that could not be written completely is removed, so that a later generation pass never
// takes it as present.
#include <cstdint>
#include <filesystem>
#include <span>

namespace velk_mur {

// Creates (or replaces) the file, writes `content` and closes it. False when the file cannot
// be created, the write fails or closing fails; then the file is removed.
bool writeGeneratedFile(const std::filesystem::path& path, std::span<const std::uint8_t> content);

}  // namespace velk_mur
