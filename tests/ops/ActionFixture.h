// A run of file actions over two real temporary trees, with scripted answers to every box.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/CommandFile.h"
#include "ops/FileActions.h"
#include "ops/OperationCodes.h"
#include "platform/ErrorSink.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto::test {

class ActionFixture : public ::testing::Test, protected LoopedJob {
  protected:
    explicit ActionFixture(const std::string& leftParent = "", const std::string& rightParent = "")
        : left(leftParent), right(rightParent) {
        UseTrees(left.Root(), right.Root());
    }

    // Points the pair at two folders (each ending with '/').
    void UseTrees(const std::string& leftRoot, const std::string& rightRoot);

    ActionRun Run() {
        return ActionRun{job,
                         pair,
                         commandFile,
                         settings.IgnoreFileAttributes,
                         settings.AttributeMask,
                         errorDialogMutex,
                         [this] { ++beeps; }};
    }

    // The entry of `relative` on a side, described from disk as a scan would.
    FileEntry Entry(Side side, const std::string& relative) const;
    // The same, paired as a comparison leaves it: with the other side's entry, or with the blank
    // entry when the other side has none.
    FileEntry Compared(Side side, const std::string& relative);
    // Adds a row for the entry to the side's list (marked) and returns its index.
    size_t AddRow(Side side, const FileEntry& entry);
    // Runs one action worker on its own thread and waits for its done event; returns the row.
    size_t Perform(int command, Side side, const std::string& relative);
    void Perform(int command, Side side, const FileEntry& entry, size_t row);

    // Every question asked so far.
    std::vector<test::ScriptedPrompter::Question> Questions() const { return prompter.Questions(); }

    CommandFile commandFile{"quarto", "Version 0.1.0.0 (release)", &prompter};
    std::mutex errorDialogMutex;
    int beeps = 0;
    std::deque<FileEntry> partners;  // the counterparts that Compared hands out
    TempTree left;
    TempTree right;
};

// Type and contents of every entry below `root`, by relative path: "f:" + contents for a file,
// "d" for a folder, "l:" + target text for a link.
std::map<std::string, std::string> TreeContents(const std::string& root);

// The names of the entries in one folder ("." and ".." left out).
std::vector<std::string> FolderNames(const std::string& folder);

// File mode bits of a path (links not followed).
unsigned ModeOf(const std::string& path);

}  // namespace quarto::test
