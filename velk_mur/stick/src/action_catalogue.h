#pragma once
// The R-CODE action catalogue ACTION.CFG as the generator writes it: one line per recording.
#include <cstdint>
#include <string>
#include <string_view>

namespace velk_mur {

// Text files on the stick end their lines this way on every host.
inline constexpr std::string_view kStickLineEnd = "\r\n";

// "<NAME padded to 16>\t<number>\t0\t<NAME>.WAV" and the comment, then CR LF; the name is
// written in upper case and never cut.
std::string actionCatalogueLine(std::string_view actionName, std::int32_t actionNumber,
                                bool audioOnly);

}  // namespace velk_mur
