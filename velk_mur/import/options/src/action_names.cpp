#include "velk_mur/import/action_names.h"

#include <array>
#include <cstdint>
#include <optional>

#include "velk_mur/generate/naming.h"
#include "velk_mur/generate/wav_input.h"

namespace velk_mur {

namespace {

// U+00C0 to U+017F (Latin-1 letters and Latin Extended-A) without their marks; "_" where the
// letter has no one-letter base (ligatures are in kLigatures, signs stay "_").
constexpr std::string_view kBaseLetters =
    "AAAAAA_CEEEEIIIIDNOOOOO_OUUUUY__aaaaaa_ceeeeiiiidnooooo_ouuuuy_y"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi__JjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOoOo__RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
constexpr char32_t kFirstMapped = 0xC0;

struct Ligature {
  char32_t letter;
  std::string_view ascii;
};
constexpr std::array<Ligature, 9> kLigatures = {{{0xC6, "AE"},
                                                 {0xDE, "Th"},
                                                 {0xDF, "ss"},
                                                 {0xE6, "ae"},
                                                 {0xFE, "th"},
                                                 {0x132, "IJ"},
                                                 {0x133, "ij"},
                                                 {0x152, "OE"},
                                                 {0x153, "oe"}}};

// Combining marks, as in names stored decomposed (macOS writes them so).
bool isCombiningMark(char32_t c) {
  return c >= 0x300 && c <= 0x36F;
}

// Decodes one UTF-8 character at `at`, advancing it; a malformed byte is a character of its own.
char32_t nextCharacter(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<std::uint8_t>(text[at++]);
  if (lead < 0x80) return lead;
  const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (extra == 0 || at + static_cast<std::size_t>(extra) > text.size()) return 0xFFFD;
  char32_t c = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    const auto next = static_cast<std::uint8_t>(text[at]);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (next & 0x3F);
    ++at;
  }
  return c;
}

bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isNameCharacter(char32_t c) {
  return c < 0x80 && (isAsciiLetter(static_cast<char>(c)) || (c >= '0' && c <= '9') || c == '_');
}

std::optional<std::string_view> asciiFor(char32_t c) {
  for (const Ligature& ligature : kLigatures) {
    if (ligature.letter == c) return ligature.ascii;
  }
  if (c >= kFirstMapped && c - kFirstMapped < kBaseLetters.size() &&
      kBaseLetters[c - kFirstMapped] != '_') {
    return kBaseLetters.substr(c - kFirstMapped, 1);
  }
  return std::nullopt;
}

}  // namespace

std::string actionNameFromStem(std::string_view stem) {
  std::string name;
  bool replacing = false;  // the last character written stands for invalid ones
  for (std::size_t at = 0; at < stem.size();) {
    const char32_t c = nextCharacter(stem, at);
    if (isCombiningMark(c)) continue;
    if (isNameCharacter(c)) {
      name += static_cast<char>(c);
      replacing = false;
    } else if (const auto ascii = asciiFor(c)) {
      name += *ascii;
      replacing = false;
    } else if (!replacing) {
      name += '_';
      replacing = true;
    }
  }
  if (name.empty() || !isAsciiLetter(name.front())) name = "x" + name;
  if (name.size() < kMinActionNameLength) name += '_';
  if (name.size() > kMaxActionNameLength) name.resize(kMaxActionNameLength);
  return name;
}

bool isUsableActionName(std::string_view name) {
  return isValidClipName(name) && name.size() >= kMinActionNameLength &&
         name.size() <= kMaxActionNameLength;
}

}  // namespace velk_mur
