// The operation driver's actions as the file actions perform them: each operation gets a run of
// its own (over the operation's context and copy of the settings: IgnoreFileAttributes, the
// attribute mask), and every item goes to PerformItemAction.
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "ops/FileActions.h"
#include "ops/OperationDriver.h"

namespace quarto {

class FileItemActions : public ItemActions {
  public:
    FileItemActions(JobContext& job, DirectoryPair& pair, CommandFile& commandFile,
                    std::mutex& errorDialogMutex, std::function<void()> beep = {})
        : m_job(job),
          m_pair(pair),
          m_commandFile(commandFile),
          m_errorDialogMutex(errorDialogMutex),
          m_beep(std::move(beep)) {}

    void BeginRun(JobContext& job) override;
    void EndRun() override { m_run.reset(); }
    void Perform(std::unique_ptr<ActionItem> item) override;
    bool Generating() const override { return m_commandFile.Generating(); }

  private:
    JobContext& m_job;
    DirectoryPair& m_pair;
    CommandFile& m_commandFile;
    std::mutex& m_errorDialogMutex;
    std::function<void()> m_beep;
    std::unique_ptr<ActionRun> m_run;
};

}  // namespace quarto
