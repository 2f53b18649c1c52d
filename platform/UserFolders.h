// The per-user folders of the XDG base-directory rules: where the settings file lives and
// where the program's logs go when the folders it would use first are not writable.
#pragma once

#include <string>

namespace quarto {

// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or not absolute; no trailing '/'.
std::string ConfigHome();
// $XDG_STATE_HOME/Quarto/ (default ~/.local/state/Quarto/), with a trailing '/'.
std::string StateFolder();
// Creates the folder and its missing parents (mode 0700, the XDG rule for these folders).
// True when it exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace quarto
