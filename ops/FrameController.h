// The main frame's handling of the messages workers send it, without any widget: the busy
// count, the start of refreshes, the end of a refresh (normal or cancelled) and the directory
// texts it leaves, the start-up with its logo, filled drive trees and first refresh, error
// displays, the workers' finish, and the close; and the clicks on the drive trees. The Qt frame
// forwards its messages and the trees' clicks here; the headless run drives it from a
// MessageLoop.
//
// Threads: everything here runs on the UI thread. Workers reach it only through the messages of
// platform/FrameSink.h, sent or posted to the frame.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "ops/BusyCount.h"
#include "ops/DriveTree.h"
#include "ops/FrameView.h"
#include "platform/FrameSink.h"

namespace quarto {

class DirectoryPair;
class JobContext;
class JobThreads;
class Refresher;

// The two sides' drive trees (null: a frame without trees, as some tests build it).
using DriveTrees = std::array<DriveTree*, 2>;

class FrameController {
  public:
    // `threads`: the owner of the workers whose finish the frame handles. `splashTimeLeft`: the
    // application's start-up logo time (null: the controller keeps its own).
    FrameController(JobContext& job, DirectoryPair& pair, Refresher& refresher, JobThreads& threads,
                    FrameView& view, DriveTrees trees = {}, int* splashTimeLeft = nullptr);
    FrameController(const FrameController&) = delete;
    FrameController& operator=(const FrameController&) = delete;

    // Handles one message; returns the message's result (0 for all of them).
    intptr_t Handle(const FrameMessage& message);

    // Start-up, once the frame exists: the start-up job begins (the frame is busy until the
    // first refresh has ended, or the trees are filled with DisableAutoRefresh on, or the start
    // was cancelled) and both drive trees start filling.
    void StartUp();
    bool StartUpPending() const { return m_startUpPending; }
    // The start-up was cancelled (the missing-directory question answered Cancel, or the first
    // refresh cancelled).
    bool StartUpCancelled() const { return m_startUpCancelled; }
    // Command 2050: network drives are switched on or off and both trees fill again, as one job.
    void ToggleNetworkDrives();

    BusyCount& Busy() { return m_busy; }
    // No job counts as busy, no cancel waits for its wind-up, and every worker has finished
    // (its messages are all handled).
    bool Idle() const;
    // Runs when a refresh has ended, before the frame's title is updated (an unattended job
    // carries on from here: the batch snapshot of a command line). Not while closing.
    std::function<void(bool cancelled)> afterRefresh;

    // Set by an unattended job that ends the program: a close is honoured while busy.
    bool ExitAllowed() const { return m_exitAllowed; }
    void AllowExit() { m_exitAllowed = true; }
    // The close, once the window's close rules have allowed it. Running jobs are asked to stop
    // and no new job starts; the frame goes on handling messages until every worker has
    // finished, then tells the view (FrameClosed), so no worker is left blocked on a send and
    // every job's busy end is counted.
    void Close();
    bool Closing() const { return m_closing; }
    bool Closed() const { return m_closed; }
    // An Error was displayed in this run (the window closes after it).
    bool ErrorDisplayed() const { return m_errorDisplayed; }

    // A click on an item of the side's drive tree. Ignored while a job runs or a cancel request
    // is pending (false: the tree must not even select the item). Otherwise the item is
    // selected and, when its path differs from the tree's current path, becomes the side's
    // directory and current path: the side stops showing a snapshot and its list shows the
    // placeholder row. No refresh starts.
    bool ClickTreeItem(Side side, TreeItemId item);
    // A double click on the side's drive tree: a refresh of both sides, unless ignored as above.
    // The branch stays as it was (false: the click was ignored).
    bool DoubleClickTree(Side side);

    // How many times each side's tree has been filled with its directory selected.
    int FillCount(Side side) const { return m_fills[Index(side)]; }

  private:
    void ShowLogo();
    void TreeFilled(Side side);
    void FirstFillsDone();
    bool SelectSideDirectory(Side side, DriveTree& tree);
    bool AskForDefaultDirectory(std::string& directory);
    void ClearTreeSelection(Side side);
    bool ClicksIgnored() const;
    void StartRefresh();
    void RefreshDone();
    void EndStartUp(bool cancelled);
    void DisplayEvent(const FrameMessage& message);
    void EndBatch();
    void WorkerFinished();

    JobContext& m_job;
    DirectoryPair& m_pair;
    Refresher& m_refresher;
    JobThreads& m_threads;
    FrameView& m_view;
    BusyCount m_busy;
    bool m_exitAllowed = false;
    bool m_closing = false;
    bool m_closed = false;
    bool m_errorDisplayed = false;
    bool m_startUpPending = false;  // the start-up job is counted in the busy count
    bool m_startUpCancelled = false;
    int m_refillsPending = 0;  // fills of command 2050 still to come
    DriveTrees m_trees;
    std::array<int, 2> m_fills{};  // per side: fills that selected a directory
    int m_ownSplashTime = -1;
    int* m_splashTimeLeft;
};

// The message-box icon of a display event's severity: 1 stop, 2 exclamation, 4 information,
// 8 none.
uint32_t DisplayEventIcon(int severity);

}  // namespace quarto
