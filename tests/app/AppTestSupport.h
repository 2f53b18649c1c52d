// Helpers of the application tests: environment and directory changes undone at scope end,
// child processes (with or without privileges), and recording doubles for the seams.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "platform/Beeper.h"
#include "platform/FrameSink.h"
#include "tests/support/JobDoubles.h"
#include "tests/support/MemoryProfileStore.h"

namespace quarto::test {

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string m_name;
    std::optional<std::string> m_old;
};

class ScopedCwd {
  public:
    explicit ScopedCwd(const std::string& folder);
    ~ScopedCwd();
    ScopedCwd(const ScopedCwd&) = delete;
    ScopedCwd& operator=(const ScopedCwd&) = delete;

  private:
    std::string m_old;
};

// Runs body in a forked child that ends with _exit(0) when body returns; returns the child's
// exit code, or -1 when it did not exit normally.
int RunInChild(const std::function<void()>& body);

// What RunOnSmallTmpfs returns when the machine does not let a test mount a file system.
inline constexpr int kMountForbidden = 77;
// Runs body in a forked child with a private mount namespace, in which a tmpfs of `bytes`
// is mounted on `folder` (so the parent never sees it). Returns 0 when the body's checks passed,
// 1 when any failed (printed by the child), kMountForbidden when the mount was not allowed.
int RunOnSmallTmpfs(const std::string& folder, size_t bytes, const std::function<void()>& body);
// Writes zeros to a new file until its file system is full.
void FillFileSystem(const std::string& path);

// In a child: becomes the unprivileged user 65534 when running as root. False when that is
// not possible (the caller then skips); true at once when not root.
bool DropPrivileges();
// Whether a folder with mode 0555 can stop a child that calls DropPrivileges from writing.
bool CanTestUnwritableFolders();

// Runs a program as a child with extra environment values, in a working folder, with standard
// output to outputPath (and standard error to errorPath, when given); returns its exit code.
int RunProgram(const std::string& path, const std::vector<std::string>& argv,
               const std::vector<std::pair<std::string, std::string>>& environment,
               const std::string& workingFolder, const std::string& outputPath,
               const std::string& errorPath = "");

std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

class RecordingBeeper : public Beeper {
  public:
    void Beep(uint32_t type) override { beeps.push_back(type); }
    std::vector<uint32_t> beeps;
};

// The names of the stored and derived fields whose values differ between two records.
std::vector<std::string> SettingsDifferences(const Settings& a, const Settings& b);

}  // namespace quarto::test
