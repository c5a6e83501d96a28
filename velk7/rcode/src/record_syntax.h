#pragma once
// The marker texts of VELK records, in one place so that the reader, the writer and the
// palette agree on what a marker line is.
#include <string_view>

#include "platform/ascii_text.h"

namespace velk7 {

inline constexpr std::string_view kStartMarker = "//{";
inline constexpr std::string_view kEndMarker = "//}";
inline constexpr std::string_view kSubroutineMarker = "//++";
inline constexpr std::string_view kPreComment = "//[PRE]: ";
inline constexpr std::string_view kPreSuffix = " //[PRE]";
// A line the reader takes for a start, end or "//++" line.
inline bool looksLikeMarker(std::string_view line) {
  const std::string_view content = platform::trimLeadingBlanks(line);
  return content.starts_with(kStartMarker) || content.starts_with(kEndMarker) ||
         content.starts_with(kSubroutineMarker);
}

}  // namespace velk7
