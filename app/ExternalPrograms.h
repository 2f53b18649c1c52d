// Handing entries to the external programs of the settings: two comparators and two run
// programs (the paths of both halves of a pair) and the editor (one path). Each launch runs on
// a thread of its own that starts the program, waits for it, and meanwhile shows the row as in
// progress.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/FileEntry.h"
#include "core/Side.h"
#include "res/CommandIds.h"

namespace quarto {

class JobContext;
class RowList;
class RowListPair;

// The row a launch marks while its program runs: its index and a copy of its entry.
struct LaunchRow {
    size_t index = 0;
    FileEntry entry;
};

// One launch, copied on the main thread when the command runs, so later changes to the
// settings or the lists do not reach it.
struct LaunchRequest {
    RowList* list = nullptr;       // the list holding the row; null for none
    std::optional<LaunchRow> row;  // the row to mark while the program runs
    std::string program;           // a path, or a bare name looked up on PATH
    std::optional<std::string> options;
    std::optional<std::string> firstPath;
    std::optional<std::string> secondPath;
};

// The command line as messages show it: the program, then one blank and the text of each of
// options, first path and second path that is present. Nothing is quoted; empty options still
// add their blank.
std::string CommandLineText(const LaunchRequest& request);

// The words the program is started with, no shell involved: the program value as one word
// (blanks around it dropped, and the double quotes around it when it is quoted as a whole), the
// options split by SplitCommandWords, then each path as one whole word that cannot read as an
// option ("./" before a path that starts with '-').
std::vector<std::string> ProgramArguments(const LaunchRequest& request);

// The launch thread's work, on the calling thread: marks the row in progress, starts the
// program, asking Retry/Cancel with the command line while the start fails, waits for the
// program to end, and clears the row's mark again (only when the row still shows the same
// entry). The caller keeps `job` and the list alive until it returns.
void LaunchProgram(JobContext& job, LaunchRequest request);

// Builds a comparator's or run program's request: the list `target` (none: no list), the row
// `contextRow` of it when given, the first path from that row when not blank, the second path
// from the partner row (the same index in the other list) when not blank.
LaunchRequest BuildPairRequest(RowListPair& lists, std::optional<Side> target,
                               std::optional<size_t> contextRow, const std::string& program,
                               const std::string& options);

// Starts the launches and owns their threads. Destroying it never waits for a program:
// programs keep running after Quarto ends. Its threads touch the lists and the prompts only
// while it exists, so it must be destroyed before the lists and the job it was given.
class ExternalPrograms {
  public:
    ExternalPrograms(JobContext& job, RowListPair& lists);
    ~ExternalPrograms();
    ExternalPrograms(const ExternalPrograms&) = delete;
    ExternalPrograms& operator=(const ExternalPrograms&) = delete;

    // Comparator 1 or 2 (4090, 4091) on the context row of the target list. False when the
    // command is not a comparator command.
    bool RunComparator(int command, std::optional<Side> target, std::optional<size_t> contextRow);
    // Run program 1 or 2 (4094, 4095), the same way. False for another command.
    bool RunUserProgram(int command, std::optional<Side> target, std::optional<size_t> contextRow);
    // The editor on one row (a double click; the caller checks that no operation runs). Launches
    // nothing, and returns false, when EditorProgram is empty, the row does not exist or it is
    // the blank half of a unique pair.
    bool EditEntry(Side list, size_t row);

    // Starts one launch thread for the request; does not wait for it.
    void Start(LaunchRequest request);
    // Launches whose thread has not ended yet.
    size_t Running() const;
    // Waits up to timeoutMs until no launch is running; true when none is.
    bool WaitIdle(uint32_t timeoutMs) const;

  private:
    struct Shared;
    JobContext& m_job;
    RowListPair& m_lists;
    std::shared_ptr<Shared> m_shared;
};

}  // namespace quarto
