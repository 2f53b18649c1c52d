// Quarto with its window: the desktop's services (prompts, progress dialog, file dialogs,
// dialogs, beep, colours) handed to the application, the main frame created in the
// application's start-up, then shown and its drive trees filled, and Qt's event loop until the
// window closes.
#pragma once

#include <string>
#include <vector>

namespace quarto {

// Whether a window can be shown: an X11 or Wayland display, or a Qt platform asked for by name.
bool DisplayAvailable();

// Runs the program with its window; returns the process exit code.
int RunWithWindow(const std::vector<std::string>& arguments);

}  // namespace quarto
