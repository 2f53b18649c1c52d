// Runs a test body as an unprivileged user, so that file permissions bite: root (as CI runs)
// bypasses them. As root, the current test is run again in a child process under
// `setpriv --reuid=65534 --regid=65534 --clear-groups`, from a copy of the test program that the
// user can execute; the parent checks the child's verdict. Use at the top of a test:
//
//     QUARTO_RUN_UNPRIVILEGED();
//     ... the body, which runs only in the unprivileged process ...
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace quarto::test {

enum class Unprivileged {
    kRunBody,      // this process is unprivileged: run the body here
    kChildPassed,  // a child ran the body and passed
    kChildFailed,  // a child ran the body and failed (its output was printed)
    kUnavailable,  // no way to drop privileges here
};

// `reason` receives why the body could not run, for kUnavailable.
Unprivileged RunUnprivileged(std::string& reason);

}  // namespace quarto::test

#define QUARTO_RUN_UNPRIVILEGED()                                                    \
    do {                                                                             \
        std::string quartoReason_;                                                   \
        switch (::quarto::test::RunUnprivileged(quartoReason_)) {                    \
            case ::quarto::test::Unprivileged::kRunBody:                             \
                break;                                                               \
            case ::quarto::test::Unprivileged::kChildPassed:                         \
                return;                                                              \
            case ::quarto::test::Unprivileged::kChildFailed:                         \
                FAIL() << "the unprivileged run of this test failed (output above)"; \
            case ::quarto::test::Unprivileged::kUnavailable:                         \
                GTEST_SKIP() << "cannot run without privileges: " << quartoReason_;  \
        }                                                                            \
    } while (0)
