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
    // A side now shows a snapshot: its drive tree selects nothing.
    virtual void ClearTreeSelection(Side /*side*/) {}
    // A close request (after an Error has been displayed, or at the end of a batch job).
    virtual void RequestClose() {}
    // A refresh has ended (its lists are final, or reset when it was cancelled), before its
    // busy end. Unattended jobs carry on from here.
    virtual void RefreshFinished(bool /*cancelled*/) {}
};

}  // namespace quarto
