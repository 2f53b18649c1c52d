// The main frame's handling of the messages workers send it, without any widget: the busy
// count, the start of refreshes, the end of a refresh (normal or cancelled), error displays
// and close requests. The Qt frame forwards its messages here; the headless run drives it from
// a MessageLoop. UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ops/BusyCount.h"
#include "ops/FrameView.h"
#include "platform/FrameSink.h"

namespace quarto {

class DirectoryPair;
class JobContext;
class Refresher;

class FrameController {
  public:
    FrameController(JobContext& job, DirectoryPair& pair, Refresher& refresher, FrameView& view);
    FrameController(const FrameController&) = delete;
    FrameController& operator=(const FrameController&) = delete;

    // Handles one message; returns the message's result (0 for all of them).
    intptr_t Handle(const FrameMessage& message);

    BusyCount& Busy() { return m_busy; }
    // Runs when a refresh has ended, before its busy end (an unattended job carries on from
    // here: the batch snapshot of a command line).
    std::function<void(bool cancelled)> afterRefresh;
    // Set by an unattended job that ends the program: a close is honoured while busy.
    bool ExitAllowed() const { return m_exitAllowed; }
    void AllowExit() { m_exitAllowed = true; }

  private:
    void RefreshDone();
    void DisplayEvent(const FrameMessage& message);
    void EndBatch();

    JobContext& m_job;
    DirectoryPair& m_pair;
    Refresher& m_refresher;
    FrameView& m_view;
    BusyCount m_busy;
    bool m_exitAllowed = false;
};

// The message-box icon of a display event's severity: 1 stop, 2 exclamation, 4 information,
// 8 none.
uint32_t DisplayEventIcon(int severity);

}  // namespace quarto
