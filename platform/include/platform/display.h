#pragma once
// Whether a program can open a window, asked before any toolkit is loaded.
namespace platform {

// True when a window can be opened: always on Windows and macOS; elsewhere when a toolkit
// platform is named or an X or Wayland display is given. The arguments are the environment's
// values of QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY, null when unset.
bool displayAvailable(const char* qtPlatform, const char* x11Display, const char* waylandDisplay);

// The same for this process's environment.
bool displayAvailable();

}  // namespace platform
