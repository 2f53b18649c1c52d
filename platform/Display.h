// Whether this session has a display a window could open on.
#pragma once

namespace quarto {

// True when DISPLAY (X11) or WAYLAND_DISPLAY names one (a non-empty value).
bool HasDisplay();

}  // namespace quarto
