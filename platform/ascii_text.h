#pragma once
// Letter case rules of the stick's file system: only ASCII letters fold, so names
// compare the same on every host regardless of locale.
#include <string>
#include <string_view>

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

}  // namespace platform
