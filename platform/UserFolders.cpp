#include "platform/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace quarto {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/') return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

std::string CurrentFolder() {
    std::string buffer(PATH_MAX, '\0');
    if (getcwd(buffer.data(), buffer.size()) == nullptr) return "/";
    buffer.resize(std::char_traits<char>::length(buffer.data()));
    if (buffer.back() != '/') buffer += '/';
    return buffer;
}

namespace {

// The XDG rules ignore a relative value, as if the variable were unset.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value == '/') return value;
    std::string home = HomeFolder();
    if (home.size() > 1 && home.back() == '/') home.pop_back();
    return home + fallbackBelowHome;
}

}  // namespace

std::string ConfigHome() {
    return XdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::string StateFolder() {
    std::string folder = XdgFolder("XDG_STATE_HOME", "/.local/state");
    if (folder.back() != '/') folder += '/';
    return folder + "Quarto/";
}

bool MakeFolders(const std::string& path, unsigned mode) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), mode);
    if (mkdir(path.c_str(), mode) != 0 && errno != EEXIST) return false;
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace quarto
