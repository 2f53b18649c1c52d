// What a scan test stands on: a job context over doubles at the seams (a frame that counts
// statistics repaints, a recording progress dialog, scripted prompts, an error sink that keeps
// every report), a directory pair, and readers for what a scan left in a side.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/SideScan.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"
#include "tests/support/JobDoubles.h"

namespace quarto::test {

using CountingFrame = RecordingFrameSink;

// Answers from a script; `onQuestion` runs first, as the user would act before answering.
class ActingPrompter : public Prompter {
  public:
    int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override {
        if (onQuestion) onQuestion(text);
        return script.MessageBox(text, caption, type);
    }
    ScriptedPrompter script;
    std::function<void(const std::string&)> onQuestion;
};

struct ScanJob {
    ScanJob() {
        settings.ScanPausePerEntry = 0;
        settings.ConfirmEsc = false;
    }
    Settings settings;
    CountingFrame frame;
    RecordingProgressSink progress;
    ActingPrompter prompter;
    RecordingErrorSink errors{&prompter};
    Event cancel{Event::Reset::Manual};
    JobContext job{settings, frame, progress, prompter, errors, cancel};
    DirectoryPair pair;

    bool Scan(const std::string& directory, bool recurse, Side side = Side::Left) {
        return ScanDirectory(job, pair, side, directory, recurse);
    }
};

// The paths of a side's entries without the given root, in set order.
inline std::vector<std::string> RelativePaths(const DirectoryPair& pair, Side side, const std::string& root) {
    std::vector<std::string> paths;
    for (const EntryRef& ref : pair[side].entries) {
        const std::string& path = ref.Entry()->path;
        paths.push_back(path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : "!" + path);
    }
    return paths;
}

// The entry with this full path, or null.
inline const FileEntry* FindEntry(const DirectoryPair& pair, Side side, const std::string& path) {
    for (const EntryRef& ref : pair[side].entries)
        if (ref.Entry()->path == path) return ref.Entry();
    return nullptr;
}

}  // namespace quarto::test
