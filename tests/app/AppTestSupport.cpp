#include "tests/app/AppTestSupport.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/SettingDescriptors.h"

namespace quarto::test {

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (m_old)
        setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

ScopedCwd::ScopedCwd(const std::string& folder) {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) != nullptr) m_old = buffer;
    if (chdir(folder.c_str()) != 0) std::abort();
}

ScopedCwd::~ScopedCwd() {
    if (!m_old.empty() && chdir(m_old.c_str()) != 0) std::abort();
}

int RunInChild(const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

int RunOnSmallTmpfs(const std::string& folder, size_t bytes, const std::function<void()>& body) {
    return RunInChild([&] {
        const std::string options = "size=" + std::to_string(bytes);
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
            _exit(kMountForbidden);
        body();
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    });
}

void FillFileSystem(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    static const char zeros[4096] = {};
    while (fd >= 0 && write(fd, zeros, sizeof zeros) > 0) {
    }
    if (fd >= 0) close(fd);
}

bool DropPrivileges() {
    if (geteuid() != 0) return true;
    return setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0 && geteuid() == 65534;
}

bool CanTestUnwritableFolders() {
    return RunInChild([] { _exit(DropPrivileges() && access("/", W_OK) != 0 ? 0 : 1); }) == 0;
}

int RunProgram(const std::string& path, const std::vector<std::string>& argv,
               const std::vector<std::pair<std::string, std::string>>& environment,
               const std::string& workingFolder, const std::string& outputPath,
               const std::string& errorPath) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        const int out = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || dup2(out, STDOUT_FILENO) < 0 || chdir(workingFolder.c_str()) != 0) _exit(126);
        if (!errorPath.empty()) {
            const int err = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err < 0 || dup2(err, STDERR_FILENO) < 0) _exit(126);
        }
        std::vector<char*> words;
        for (const std::string& word : argv) words.push_back(const_cast<char*>(word.c_str()));
        words.push_back(nullptr);
        execv(path.c_str(), words.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::vector<std::string> SettingsDifferences(const Settings& a, const Settings& b) {
    std::vector<std::string> names;
    for (const SettingDescriptor& d : SettingDescriptors())
        if (std::visit([&](auto member) { return !(a.*member == b.*member); }, d.member))
            names.push_back(d.name);
    if (a.IncludeSubdirs != b.IncludeSubdirs) names.push_back("IncludeSubdirs");
    if (a.IncludeNetworkDrives != b.IncludeNetworkDrives) names.push_back("IncludeNetworkDrives");
    if (a.AttributeMask != b.AttributeMask) names.push_back("AttributeMask");
    if (a.ExcludeUniqueLeft != b.ExcludeUniqueLeft) names.push_back("ExcludeUniqueLeft");
    if (a.ExcludeUniqueRight != b.ExcludeUniqueRight) names.push_back("ExcludeUniqueRight");
    return names;
}

}  // namespace quarto::test
