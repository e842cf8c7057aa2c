// Whether the desktop driver can open windows here, answered without Qt: a program decides on
// the desktop before it loads the driver module, and a session that never shows a window never
// loads it at all.
#pragma once

namespace uikit::qt {

// Whether Qt can open windows here: QT_QPA_PLATFORM names a platform that needs no display
// server (offscreen, minimal, vnc, eglfs, linuxfb) or one whose server is reachable; without it,
// an X display (DISPLAY) or a Wayland socket (WAYLAND_DISPLAY) must be there. For a local X
// display the server's socket must exist, since Qt aborts the process when it cannot connect.
bool displayAvailable();

}  // namespace uikit::qt
