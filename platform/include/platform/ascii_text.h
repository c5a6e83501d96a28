#pragma once
// Letter case rules of the stick's file system: only ASCII letters fold, so names
// compare the same on every host regardless of locale. And the text-file rules shared by the
// settings, the catalogues and the program reader: lines and blanks.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

char toLowerAscii(char c);
char toUpperAscii(char c);
std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Negative, zero or positive like strcmp, with ASCII letters folded to lower case.
int compareIgnoreCase(std::string_view a, std::string_view b);

// The order of every folder listing: without regard to ASCII case, ties broken by byte value.
bool listingOrderLess(std::string_view a, std::string_view b);

// "*" matches any run of characters, "?" any one; letters match without regard to case.
bool matchesWildcard(std::string_view pattern, std::string_view name);

// Blanks and tabs: all that indents a line or separates fields in the programs' text files.
inline constexpr std::string_view kBlanks = " \t";

std::string_view trimLeadingBlanks(std::string_view text);
std::string_view trimBlanks(std::string_view text);

// One line of a text: its content without the line end, and where the line starts and ends.
struct TextLine {
  std::string_view content;
  std::size_t start = 0;
  std::size_t end = 0;  // just after the line feed, or the text's size for a last line without one
};

// The line that starts at `start` (before the text's end). A line ends at a line feed; a carriage
// return directly before it belongs to the line end, any other one to the content.
TextLine lineAt(std::string_view text, std::size_t start);

// Every line of the text, in order; an empty text has none.
std::vector<TextLine> splitLines(std::string_view text);

}  // namespace platform
