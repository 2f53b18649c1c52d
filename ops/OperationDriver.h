// The operation driver: every command that works on the rows of the two lists (marking,
// clearing, inverting, copying, moving, deleting the marked rows or one row, saving a
// snapshot of one side) runs as one driver worker with one side worker per taking-part side.
#pragma once

#include <memory>
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
class JobRun;
class JobThreads;

// The row a single action (7011, 7012, 7034) works on: its index and a copy of its entry.
struct SingleRow {
    size_t index = 0;
    FileEntry entry;
};

struct OperationRequest {
    std::shared_ptr<JobRun> run;  // the operation's settings and context, taken as it starts
    int code = 0;
    std::optional<Side> target;  // the target list; none: no target
    std::optional<SingleRow> singleRow;
};

struct ActionItem;

// Where the rows' disk actions go: the file actions, run on the action slots' workers.
class ItemActions {
  public:
    virtual ~ItemActions() = default;
    // A new operation starts, on the UI thread: its run takes the settings it acts by from
    // `job`, the operation's own context, valid until EndRun. One operation runs at a time (the
    // busy count disables the commands that start another).
    virtual void BeginRun(JobContext& job) = 0;
    // The operation has ended: nothing of its run may be used any more.
    virtual void EndRun() = 0;
    // Performs one item to its end and sets its done event, always.
    virtual void Perform(std::unique_ptr<ActionItem> item) = 0;
    // While a command file is generated, actions are written, not performed.
    virtual bool Generating() const = 0;
};

// Where a snapshot save (operation 9) goes: the snapshot writer walks the side's rows itself.
class SnapshotSaver {
  public:
    virtual ~SnapshotSaver() = default;
    // Writes the side's snapshot file: header, base line and a line per listed entry; reports its
    // own failures.
    virtual void Save(JobContext& job, Side side) = 0;
    // True when the save was asked for on the command line: the program ends after it.
    virtual bool EndsProgram() const = 0;
};

class OperationDriver {
  public:
    OperationDriver(JobContext& job, DirectoryPair& pair, ItemActions& actions, JobThreads& threads);
    OperationDriver(const OperationDriver&) = delete;
    OperationDriver& operator=(const OperationDriver&) = delete;

    void SetSnapshotSaver(SnapshotSaver* saver) { m_snapshot = saver; }

    // UI thread: busy begin, the operation's copy of the settings, the shared decision reset,
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
    SnapshotSaver* m_snapshot = nullptr;

    std::mutex m_decisionLock;
    int m_decision = -1;  // -1: nobody has answered the current operation's question
};

}  // namespace quarto
