// The window's two file dialogs with their added rows: the snapshot dialog (load or save, with
// the Left/Right choice of the side) and the command-file dialog (with its Append box). Both
// are Qt's own file dialog, so the added row sits below its standard controls. They return the
// chosen file's absolute path: the process's working folder is never changed behind the
// workers' backs. UI thread only.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "app/SnapshotOperations.h"
#include "ops/CommandFile.h"

class QFileDialog;

namespace quarto {

// Runs a prepared dialog modally; tests replace it to answer the dialog they are shown.
using DialogRunner = std::function<int(QFileDialog&)>;

class SnapshotFileChooser final : public SnapshotFileDialog {
  public:
    std::optional<Choice> AskSave(Side defaultSide) override;
    std::optional<Choice> AskLoad(Side defaultSide) override;

    void SetOwner(QWidget* owner) { m_owner = owner; }
    void SetRunner(DialogRunner runner) { m_runner = std::move(runner); }

  private:
    std::optional<Choice> Ask(bool save, Side defaultSide);

    QPointer<QWidget> m_owner;
    DialogRunner m_runner;
};

class CommandFileChooser final : public CommandFileDialog {
  public:
    std::optional<Choice> Ask() override;

    void SetOwner(QWidget* owner) { m_owner = owner; }
    void SetRunner(DialogRunner runner) { m_runner = std::move(runner); }

  private:
    QPointer<QWidget> m_owner;
    DialogRunner m_runner;
};

}  // namespace quarto
