#include "uikit/qt/display.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace uikit::qt {
namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

bool exists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

// An X display is reachable: for a local display (":0", "unix:0.0") its socket exists; a remote
// one ("host:10.0", ssh forwarding) is taken on trust.
bool xDisplayAvailable() {
  const std::string display = env("DISPLAY");
  if (display.empty())
    return false;
  const auto colon = display.rfind(':');
  if (colon == std::string::npos)
    return false;
  const std::string host = display.substr(0, colon);
  if (!host.empty() && host != "unix")
    return true;
  const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
  return exists("/tmp/.X11-unix/X" + number);
}

bool waylandAvailable() {
  const std::string socket = env("WAYLAND_DISPLAY");
  if (socket.empty())
    return false;
  if (socket.front() == '/')
    return exists(socket);
  const std::string runtime = env("XDG_RUNTIME_DIR");
  return runtime.empty() || exists(runtime + "/" + socket);
}

bool platformAvailable(std::string_view platform) {
  platform = platform.substr(0, platform.find(':'));  // "offscreen:size=..." and the like
  for (std::string_view self : {"offscreen", "minimal", "minimalegl", "vnc", "eglfs", "linuxfb"})
    if (platform == self)
      return true;
  if (platform == "xcb")
    return xDisplayAvailable();
  if (platform.substr(0, 7) == "wayland")
    return waylandAvailable();
  return false;
}

}  // namespace

bool displayAvailable() {
#if defined(__APPLE__) || defined(_WIN32)
  return true;
#else
  // QT_QPA_PLATFORM may list fallbacks ("wayland;xcb"): Qt tries them in turn.
  const std::string platforms = env("QT_QPA_PLATFORM");
  if (!platforms.empty()) {
    std::string_view rest = platforms;
    while (!rest.empty()) {
      const auto end = rest.find(';');
      if (platformAvailable(rest.substr(0, end)))
        return true;
      if (end == std::string_view::npos)
        break;
      rest.remove_prefix(end + 1);
    }
    return false;
  }
  return xDisplayAvailable() || waylandAvailable();
#endif
}

}  // namespace uikit::qt
