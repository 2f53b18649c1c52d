// The folders a user works from: the home and working folders, and those of the XDG
// base-directory rules (where the settings file lives and where the logs go when the folders
// they would use first are not writable).
#pragma once

#include <string>

namespace quarto {

// $HOME, or the account's home folder when it is unset or not absolute.
std::string HomeFolder();
// The process's working folder with a trailing '/'; "/" when it cannot be read.
std::string CurrentFolder();
// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or not absolute; no trailing '/'.
std::string ConfigHome();
// $XDG_STATE_HOME/Quarto/ (default ~/.local/state/Quarto/), with a trailing '/'.
std::string StateFolder();
// The mode of the folders Quarto keeps for itself (the XDG rule), and of folders made for the
// user's own trees (the umask then applies).
inline constexpr unsigned kPrivateFolderMode = 0700;
inline constexpr unsigned kUserFolderMode = 0777;
// Creates the folder and its missing parents with `mode`. True when it is a folder afterwards.
bool MakeFolders(const std::string& path, unsigned mode = kPrivateFolderMode);

}  // namespace quarto
