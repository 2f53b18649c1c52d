// The operation driver: every command that works on the rows of the two lists (marking,
// clearing, inverting, copying, moving, deleting the marked rows or one row, saving a
// snapshot of one side) runs as one driver worker with one side worker per taking-part side.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "core/FileEntry.h"
#include "core/RowList.h"
#include "core/Side.h"

namespace quarto {

class DirectoryPair;
class Event;
class JobContext;
class JobThreads;

// The row a single action (7011, 7012, 7034) works on: its index and a copy of its entry.
struct SingleRow {
    size_t index = 0;
    FileEntry entry;
};

struct OperationRequest {
    int code = 0;
    std::optional<Side> target;  // the target list; none: no target
    std::optional<SingleRow> singleRow;
};

// Where the rows' disk actions go: the file actions, run one per work item on a thread of its
// own. Perform must set `done` when the action has ended, always.
class ItemActions {
public:
    virtual ~ItemActions() = default;
    // A new run starts: the run takes its copy of IgnoreFileAttributes now.
    virtual void BeginRun(bool ignoreFileAttributes) = 0;
    virtual void Perform(int command, Side side, size_t rowIndex, const FileEntry& entry, Event* done) = 0;
    // While a command file is generated, actions are written, not performed.
    virtual bool Generating() const = 0;
};

// Where a snapshot save writes (operation 9).
class SnapshotSink {
public:
    virtual ~SnapshotSink() = default;
    // Creates the file and writes its header and base line for the side; false when it
    // could not be created (the sink has reported it).
    virtual bool Open(Side side) = 0;
    // One entry line; the row's mark is its last field.
    virtual void WriteRow(const Row& row) = 0;
    virtual void Close() = 0;
    // True when the save was asked for on the command line: the program ends after it.
    virtual bool EndsProgram() const = 0;
};

class OperationDriver {
public:
    OperationDriver(JobContext& job, DirectoryPair& pair, ItemActions& actions, JobThreads& threads);
    OperationDriver(const OperationDriver&) = delete;
    OperationDriver& operator=(const OperationDriver&) = delete;

    void SetSnapshotSink(SnapshotSink* sink) { m_snapshot = sink; }

    // UI thread: busy begin, the run's copy of IgnoreFileAttributes, the shared decision reset,
    // the operations counter for a disk-changing code, and a new driver worker.
    void StartOperation(int code, std::optional<Side> target, std::optional<SingleRow> singleRow);
    // UI thread: the snapshot save of one side (operation 9).
    void StartSnapshotSave(Side side);

    // The driver worker's procedure (public for tests that run it on their own thread).
    void OperationThread(const OperationRequest& request);

private:
    friend class SideOperation;
    void Launch(OperationRequest request);
    // The shared confirmation of the two side workers; returns the decision (the code, or
    // kOpRefused).
    int Confirm(int code, const OperationRequest& request);

    JobContext& m_job;
    DirectoryPair& m_pair;
    ItemActions& m_actions;
    JobThreads& m_threads;
    SnapshotSink* m_snapshot = nullptr;

    std::mutex m_decisionLock;
    int m_decision = -1;  // -1: nobody has answered the current operation's question
};

}  // namespace quarto
