// One side's worker of an operation: walks that side's list in passes (directories, then files
// for copy and move; files, then directories bottom up for delete), asks the shared question
// before a destructive pass, and hands each marked row to an action slot, up to five actions at
// a time in a file pass and one at a time in a directory pass.
#pragma once

#include <cstddef>

#include "core/Side.h"

namespace quarto {

class ActionSlots;
class Event;
class JobContext;
class OperationDriver;
struct OperationRequest;
struct FileEntry;
struct Row;

class SideOperation {
  public:
    SideOperation(OperationDriver& driver, const OperationRequest& request, Side side, Event* done)
        : m_driver(&driver), m_request(&request), m_side(side), m_done(done) {}

    // The worker's procedure; sets the completion event at the end.
    void Run();

  private:
    // The operation's own context, with the settings it started with.
    JobContext& Job() const;
    // The code after the follow-up step: the code to work with and the one to run next.
    int Prepare(int code, int& followUp);
    void ShowPassText(int code) const;
    // Walks the rows; false when a cancel request stopped it.
    bool WalkRows(int code);
    // Whether this pass acts on a row: a marked, non-blank row of the pass's kind.
    bool ActsOn(const Row& row) const;
    void StartAction(int code, size_t index, const FileEntry& entry, ActionSlots& slots);
    void SingleAction(int code);
    // Operation 9: the side's snapshot file.
    void SaveSnapshot();

    OperationDriver* m_driver;
    const OperationRequest* m_request;
    Side m_side;
    Event* m_done;
    bool m_filePass = true;
};

}  // namespace quarto
