// Quarto with its window: the desktop's beep and colours handed to the application, the main
// frame created in the application's start-up (registering itself as the frame's view, the
// prompter, the progress dialog and the file dialogs), then shown, and Qt's event loop until the
// frame has closed.
#pragma once

#include <string>
#include <vector>

namespace quarto {

// Whether a window can be shown: an X11 or Wayland display, or a Qt platform asked for by name.
bool DisplayAvailable();

// Runs the program with its window; returns the process exit code.
int RunWithWindow(const std::vector<std::string>& arguments);

}  // namespace quarto
