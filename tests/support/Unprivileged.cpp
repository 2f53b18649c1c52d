#include "tests/support/Unprivileged.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <vector>

#include "tests/support/TempTree.h"

extern char** environ;

namespace quarto::test {
namespace {

constexpr const char* kUnprivilegedChild = "QUARTO_UNPRIVILEGED_CHILD";
constexpr const char* kMountNamespaceChild = "QUARTO_MOUNT_NAMESPACE_CHILD";

bool CopyProgram(const std::string& to) {
    const int in = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
    bool ok = out >= 0;
    char buffer[1 << 16];
    for (ssize_t n; ok && (n = read(in, buffer, sizeof buffer)) > 0;) ok = write(out, buffer, n) == n;
    close(in);
    if (out >= 0) ok = close(out) == 0 && ok;
    return ok;
}

// Runs the words with standard output and error captured; returns the exit status or -1.
int RunCaptured(const std::vector<std::string>& words, const std::vector<std::string>& environment,
                std::string& output) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& variable : environment) envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Runs the current test again as `wrapper` + `program`, with `childVariable` set in its
// environment, and reads its verdict from its output.
Rerun RerunCurrentTest(const std::vector<std::string>& wrapper, const std::string& program,
                       const char* childVariable, std::string& reason) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string(info->test_suite_name()) + "." + info->name();
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable)
        if (std::string(*variable).rfind("TMPDIR=", 0) != 0) environment.push_back(*variable);
    environment.push_back(std::string(childVariable) + "=1");
    environment.push_back("TMPDIR=/tmp");
    std::vector<std::string> words = wrapper;
    words.insert(words.end(), {program, "--gtest_filter=" + filter, "--gtest_color=no"});
    std::string output;
    const int status = RunCaptured(words, environment, output);
    std::cout << "---- child run: " << wrapper[0] << " ----\n" << output << "---- end of child run ----\n";
    if (status < 0 || status == 126 || status == 127) {  // 126: the temp folder forbids running programs
        reason = wrapper[0] + " could not run the test program";
        return Rerun::kUnavailable;
    }
    if (output.find("[  SKIPPED ] 1 test") != std::string::npos) {
        reason = "the child run skipped the test (see its output)";
        return Rerun::kUnavailable;
    }
    if (status == 0 && output.find("[  PASSED  ] 1 test") != std::string::npos) return Rerun::kChildPassed;
    return Rerun::kChildFailed;
}

}  // namespace

Rerun RunUnprivileged(std::string& reason) {
    if (geteuid() != 0) return Rerun::kRunBody;
    if (std::getenv(kUnprivilegedChild) != nullptr) {
        reason = "setpriv left the child running as root";
        return Rerun::kUnavailable;
    }
    TempTree folder("/tmp");
    chmod(folder.Root().c_str(), 0755);  // the unprivileged user runs the copy from here
    const std::string program = folder.Path("test-program");
    if (!CopyProgram(program)) {
        reason = "the test program could not be copied";
        return Rerun::kUnavailable;
    }
    return RerunCurrentTest({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}, program,
                            kUnprivilegedChild, reason);
}

Rerun RunInMountNamespace(std::string& reason) {
    if (std::getenv(kMountNamespaceChild) != nullptr) return Rerun::kRunBody;
    if (geteuid() != 0) {
        reason = "mounting needs root";
        return Rerun::kUnavailable;
    }
    char program[4096];
    const ssize_t n = readlink("/proc/self/exe", program, sizeof program - 1);
    if (n <= 0) {
        reason = "the test program cannot be named";
        return Rerun::kUnavailable;
    }
    return RerunCurrentTest({"unshare", "--mount", "--propagation", "private"},
                            std::string(program, static_cast<size_t>(n)), kMountNamespaceChild, reason);
}

}  // namespace quarto::test
