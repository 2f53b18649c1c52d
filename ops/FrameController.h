// The main frame's handling of the messages workers send it, without any widget: the busy
// count, the start of refreshes, the end of a refresh (normal or cancelled), the start-up logo,
// the filled drive trees with the first refresh, error displays and close requests; and the
// clicks on the drive trees. The Qt frame forwards its messages and the trees' clicks here; the
// headless run drives it from a MessageLoop. UI thread only.
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
class Refresher;

// The two sides' drive trees (null: a frame without trees, as some tests build it).
using DriveTrees = std::array<DriveTree*, 2>;

class FrameController {
  public:
    // `splashTimeLeft`: the application's start-up logo time (null: the controller keeps its own).
    FrameController(JobContext& job, DirectoryPair& pair, Refresher& refresher, FrameView& view,
                    DriveTrees trees = {}, int* splashTimeLeft = nullptr);
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
    bool SelectSideDirectory(Side side, DriveTree& tree);
    bool AskForDefaultDirectory(std::string& directory);
    void ClearTreeSelection(Side side);
    bool ClicksIgnored() const;
    void RefreshDone();
    void DisplayEvent(const FrameMessage& message);
    void EndBatch();

    JobContext& m_job;
    DirectoryPair& m_pair;
    Refresher& m_refresher;
    FrameView& m_view;
    BusyCount m_busy;
    bool m_exitAllowed = false;
    DriveTrees m_trees;
    std::array<int, 2> m_fills{};  // per side: fills that selected a directory
    int m_ownSplashTime = -1;
    int* m_splashTimeLeft;
};

// The message-box icon of a display event's severity: 1 stop, 2 exclamation, 4 information,
// 8 none.
uint32_t DisplayEventIcon(int severity);

}  // namespace quarto
