#include "platform/display.h"

#include <cstdlib>

namespace platform {

namespace {

[[maybe_unused]] bool isSet(const char* value) {
  return value != nullptr && *value != '\0';
}

}  // namespace

bool displayAvailable(const char* qtPlatform, const char* x11Display, const char* waylandDisplay) {
#if defined(_WIN32) || defined(__APPLE__)
  (void)qtPlatform;
  (void)x11Display;
  (void)waylandDisplay;
  return true;
#else
  return isSet(qtPlatform) || isSet(x11Display) || isSet(waylandDisplay);
#endif
}

bool displayAvailable() {
  return displayAvailable(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                          std::getenv("WAYLAND_DISPLAY"));
}

}  // namespace platform
