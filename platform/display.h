// Whether this process can open a window at all.
#pragma once

namespace vantor::platform {

// True when there is a display to open windows on: an X or Wayland server
// (DISPLAY, WAYLAND_DISPLAY), a console with a display device, or a video
// driver chosen with SDL_VIDEODRIVER. The video subsystem is started to find
// out; when there is a display it stays started (SDL counts the starts), so
// the window opens on the same connection to the display server.
bool displayAvailable();

}  // namespace vantor::platform
