#pragma once
// The kernel's table of mounted file systems (/proc/self/mountinfo), read line by line.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MountEntry {
  std::string mountPoint;
  std::string type;    // "vfat", "ext4", "fuse.fusefat", ...
  std::string source;  // the device or image, or a word such as "fusefat"
};

// One entry per well-formed line; a line the kernel would not write is skipped.
std::vector<MountEntry> parseMountInfo(std::string_view table);

// The table writes a space, tab, newline and backslash in a field as an octal escape ("\040").
std::string unescapeMountText(std::string_view text);

// udev names its links with hex escapes ("ROBOT\x20STICK").
std::string unescapeDeviceLink(std::string_view text);

}  // namespace platform
