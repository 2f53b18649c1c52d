// Faults a test brings about on purpose, each as the kernel itself would produce it: a reader held
// at its first read of a file (so a copy can be changed under, or killed in, mid-way), the
// immutable flag, and mode changes refused on one thread (as a FAT volume through FUSE refuses
// them). Each needs what the kernel demands of it (root for the first two) and says why when it
// cannot be had, so the test can skip with the reason.
#pragma once

#include <string>

namespace quarto::test {

// Holds the first process or thread that reads a file, until Release. Built on fanotify's
// permission events: the reader waits in the kernel, exactly where its read would start.
class ReadGate {
  public:
    ReadGate() = default;
    ~ReadGate();
    // Owns the fanotify descriptor and the held reader's answer.
    ReadGate(const ReadGate&) = delete;
    ReadGate& operator=(const ReadGate&) = delete;

    // Starts holding readers of `path`; false (with `reason`) where fanotify is not allowed.
    bool Arm(const std::string& path, std::string& reason);
    // Waits until a reader is held; false when none came within the time.
    bool WaitForReader(int timeoutMs = 20000);
    // Stops holding readers and lets the held one go on.
    void Release();

  private:
    int m_fd = -1;
    int m_heldFd = -1;  // the held reader's event descriptor, answered by Release
    std::string m_path;
};

// Sets or clears the immutable flag (chattr +i); false (with `reason`) where it cannot be set.
bool SetImmutable(const std::string& path, bool on, std::string& reason);

// From now on, chmod, fchmod and fchmodat fail with `errnum` on the calling thread only. The
// thread keeps the filter until it ends, so call it on a thread made for the purpose.
bool RefuseModeChangesOnThisThread(int errnum, std::string& reason);

}  // namespace quarto::test
