// What the main window lends the application once it exists: the frame's view, the message
// boxes, the progress dialog and the two file dialogs. Everything made before the window (the
// job context, the error reporter, the frame controller, the operations) holds a relay instead,
// which answers headless (no view, the unattended prompter, no dialog) until the window
// registers itself, and again after it has gone. So the window can be all of them itself, with
// no proxy of its own.
//
// Threads: the window registers and unregisters itself on the UI thread while no worker runs.
// The prompter and the progress dialog are called from any thread (their relays are atomic);
// the view and the file dialogs on the UI thread only.
#pragma once

#include <optional>

#include "app/SnapshotOperations.h"
#include "ops/CommandFile.h"
#include "ops/FrameView.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"

namespace quarto {

// A null member keeps the headless default.
struct WindowServices {
    FrameView* view = nullptr;
    Prompter* prompter = nullptr;
    ProgressSink* progress = nullptr;
    SnapshotFileDialog* snapshotDialog = nullptr;
    CommandFileDialog* commandFileDialog = nullptr;
};

// The snapshot file dialog of the moment; none (every question cancelled) without a window.
class SnapshotFileDialogRelay final : public SnapshotFileDialog {
  public:
    void SetTarget(SnapshotFileDialog* target) { m_target = target; }
    std::optional<Choice> AskSave(Side defaultSide) override {
        return m_target != nullptr ? m_target->AskSave(defaultSide) : std::nullopt;
    }
    std::optional<Choice> AskLoad(Side defaultSide) override {
        return m_target != nullptr ? m_target->AskLoad(defaultSide) : std::nullopt;
    }

  private:
    SnapshotFileDialog* m_target = nullptr;
};

// The command-file dialog of the moment; none (cancelled) without a window.
class CommandFileDialogRelay final : public CommandFileDialog {
  public:
    void SetTarget(CommandFileDialog* target) { m_target = target; }
    std::optional<Choice> Ask() override { return m_target != nullptr ? m_target->Ask() : std::nullopt; }

  private:
    CommandFileDialog* m_target = nullptr;
};

}  // namespace quarto
