// What the frame's message handling does to the windows: the toolkit-free FrameController
// decides, a FrameView carries it out (the Qt main frame, or nothing at all when headless).
#pragma once

#include "core/Side.h"

namespace quarto {

class FrameView {
  public:
    virtual ~FrameView() = default;
    // The progress dialog appears while the busy count is above zero (ShowProgress on) ...
    virtual void CreateProgressDialog() {}
    virtual void DestroyProgressDialog() {}
    // ... or the wait cursor does (ShowProgress off).
    virtual void SetWaitCursor(bool /*on*/) {}
    // The title shows the view and the marked counts.
    virtual void UpdateTitle() {}
    virtual void InvalidateStatistics() {}
    // A side now shows a snapshot: its drive tree has dropped its selection (the tree's
    // observer has been told) and the side's file list takes the keyboard focus.
    virtual void ClearTreeSelection(Side /*side*/) {}
    // The About box, modal: returns once it has closed. As the start-up logo it closes itself
    // when `splashTimeLeft` (milliseconds, lowered by 200 on each 200 ms tick of its timer) has
    // run out, and OK sets it to 0; opened from the Help menu the value is -1 and the box stays
    // until OK. Without a display there is no box.
    virtual void ShowAboutBox(int& /*splashTimeLeft*/) {}
    // A close request (after an Error has been displayed, or at the end of a batch job).
    virtual void RequestClose() {}
    // A refresh has ended (its lists are final, or reset when it was cancelled), before its
    // busy end. Unattended jobs carry on from here.
    virtual void RefreshFinished(bool /*cancelled*/) {}
};

}  // namespace quarto
