// Runs a test body in a child process set up so that a fault can really bite:
//
// - without privileges, so that file permissions bite: root (as CI runs) bypasses them. As root,
//   the current test is run again under `setpriv --reuid=65534 --regid=65534 --clear-groups`,
//   from a copy of the test program that the user can execute;
// - in a private mount namespace, so that the body may mount a read-only bind or a small tmpfs
//   without touching the machine's mounts: the test is run again under
//   `unshare --mount --propagation private` (root only).
//
// The parent checks the child's verdict. Use at the top of a test:
//
//     QUARTO_RUN_UNPRIVILEGED();          or      QUARTO_RUN_IN_MOUNT_NAMESPACE();
//     ... the body, which runs only in the child process ...
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace quarto::test {

enum class Rerun {
    kRunBody,      // this process is the prepared child: run the body here
    kChildPassed,  // a child ran the body and passed
    kChildFailed,  // a child ran the body and failed (its output was printed)
    kUnavailable,  // the child cannot be prepared here
};

// `reason` receives why the body could not run, for kUnavailable.
Rerun RunUnprivileged(std::string& reason);
Rerun RunInMountNamespace(std::string& reason);

}  // namespace quarto::test

#define QUARTO_RERUN_IN_CHILD(runner)                                              \
    do {                                                                           \
        std::string quartoReason_;                                                 \
        switch (runner(quartoReason_)) {                                           \
            case ::quarto::test::Rerun::kRunBody:                                  \
                break;                                                             \
            case ::quarto::test::Rerun::kChildPassed:                              \
                return;                                                            \
            case ::quarto::test::Rerun::kChildFailed:                              \
                FAIL() << "the child run of this test failed (output above)";      \
            case ::quarto::test::Rerun::kUnavailable:                              \
                GTEST_SKIP() << "cannot prepare the child run: " << quartoReason_; \
        }                                                                          \
    } while (0)

#define QUARTO_RUN_UNPRIVILEGED() QUARTO_RERUN_IN_CHILD(::quarto::test::RunUnprivileged)
#define QUARTO_RUN_IN_MOUNT_NAMESPACE() QUARTO_RERUN_IN_CHILD(::quarto::test::RunInMountNamespace)
