// The snapshot side of the snapshot-and-program operations: saving one side's snapshot (the
// Save command, or the unattended job of option -C after the first refresh) and choosing a
// snapshot to load in place of a side's directory.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "app/RunOptions.h"
#include "core/Side.h"
#include "ops/OperationDriver.h"

namespace quarto {

class DirectoryPair;
class JobContext;

// The file dialog of the two snapshot commands, with its Left/Right choice (the window's).
class SnapshotFileDialog {
  public:
    struct Choice {
        std::string fileName;  // relative to the current directory, which the dialog may change
        Side side = Side::Left;
    };
    virtual ~SnapshotFileDialog() = default;
    // Nothing when the user cancelled.
    virtual std::optional<Choice> AskSave(Side defaultSide) = 0;
    virtual std::optional<Choice> AskLoad(Side defaultSide) = 0;
};

class SnapshotOperations : public SnapshotSaver {
  public:
    static constexpr const char* kDefaultName = "Snapshot.qsn";

    SnapshotOperations(JobContext& job, DirectoryPair& pair, RunOptions& run, OperationDriver& driver,
                       std::string programName, std::string versionText);
    SnapshotOperations(const SnapshotOperations&) = delete;
    SnapshotOperations& operator=(const SnapshotOperations&) = delete;

    void SetDialog(SnapshotFileDialog* dialog) { m_dialog = dialog; }

    // UI thread. Chooses the file (the -C name, "Snapshot.qsn" under -Q, else the dialog) and
    // the side (the dialog's, else the target list, else the left), then starts operation 9.
    // False when nothing was started (the dialog was cancelled).
    bool SaveSnapshot(std::optional<Side> target);
    // UI thread. Asks for a snapshot and a side and loads it there, then posts UM_REFRESH
    // unless option -P named a file for either side. False when the dialog was cancelled.
    bool ChooseSnapshotToLoad(std::optional<Side> target);
    // The side shows the snapshot `fileName` from the next refresh on; the first snapshot of a
    // side remembers the directory to fall back on (none when the side had none).
    void LoadSnapshot(Side side, const std::string& fileName);

    // After a refresh: the unattended save of option -C. Returns true when a save started.
    bool AfterRefresh(bool cancelled);

    // Operation 9, on the side worker.
    void Save(JobContext& job, Side side) override;
    bool EndsProgram() const override;
    // The snapshot that option -C asked for has been written whole.
    bool BatchSnapshotWritten() const { return m_batchWritten.load(); }
    // The file of the save in progress, or of the last one.
    const std::string& SaveName() const { return m_saveName; }

  private:
    static Side DefaultSide(std::optional<Side> target);

    JobContext& m_job;
    DirectoryPair& m_pair;
    RunOptions& m_run;
    OperationDriver& m_driver;
    const std::string m_programName;
    const std::string m_versionText;
    SnapshotFileDialog* m_dialog = nullptr;
    std::string m_saveName;  // the file of the save in progress; set before its worker starts
    std::atomic<bool> m_batchWritten{false};
};

}  // namespace quarto
