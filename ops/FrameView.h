// What the frame's message handling does to the windows: the toolkit-free FrameController
// decides, a FrameView carries it out (the Qt main frame, or nothing at all when headless).
// UI thread only.
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
    // The statistics dialog's figures changed (UM_STATISTICS): repaint it when open. Called at
    // most once per UM_STATISTICS the frame handles; a view may repaint less often (once per
    // frame interval) without missing the last change.
    virtual void InvalidateStatistics() {}
    // A side now shows a snapshot: its drive tree has dropped its selection (the tree's
    // observer has been told) and the side's file list takes the keyboard focus.
    virtual void ClearTreeSelection(Side /*side*/) {}
    // The About box, modal: returns once it has closed. As the start-up logo it closes itself
    // when `splashTimeLeft` (milliseconds, lowered by 200 on each 200 ms tick of its timer) has
    // run out, and OK sets it to 0; opened from the Help menu the value is -1 and the box stays
    // until OK. Without a display there is no box.
    virtual void ShowAboutBox(int& /*splashTimeLeft*/) {}
    // A close request (after an Error has been displayed, or at the end of a batch job). The
    // window applies its close rules and, when it closes, calls FrameController::Close.
    virtual void RequestClose() {}
    // The close has completed: every worker has finished and no message of theirs is left to
    // handle. The window goes and its message pump may end.
    virtual void FrameClosed() {}
    // A refresh has ended (its lists are final, or reset when it was cancelled), before its
    // busy end. Unattended jobs carry on from here.
    virtual void RefreshFinished(bool /*cancelled*/) {}
};

// The view of the moment: nothing until the main window registers itself (SetTarget), and
// nothing again after SetTarget(nullptr). UI thread only, like every FrameView call.
class FrameViewRelay final : public FrameView {
  public:
    void SetTarget(FrameView* target) { m_target = target; }
    FrameView* Target() const { return m_target; }

    void CreateProgressDialog() override {
        Forward([](FrameView& v) { v.CreateProgressDialog(); });
    }
    void DestroyProgressDialog() override {
        Forward([](FrameView& v) { v.DestroyProgressDialog(); });
    }
    void SetWaitCursor(bool on) override {
        Forward([on](FrameView& v) { v.SetWaitCursor(on); });
    }
    void UpdateTitle() override {
        Forward([](FrameView& v) { v.UpdateTitle(); });
    }
    void InvalidateStatistics() override {
        Forward([](FrameView& v) { v.InvalidateStatistics(); });
    }
    void ClearTreeSelection(Side side) override {
        Forward([side](FrameView& v) { v.ClearTreeSelection(side); });
    }
    void ShowAboutBox(int& splashTimeLeft) override {
        Forward([&splashTimeLeft](FrameView& v) { v.ShowAboutBox(splashTimeLeft); });
    }
    void RequestClose() override {
        Forward([](FrameView& v) { v.RequestClose(); });
    }
    void FrameClosed() override {
        Forward([](FrameView& v) { v.FrameClosed(); });
    }
    void RefreshFinished(bool cancelled) override {
        Forward([cancelled](FrameView& v) { v.RefreshFinished(cancelled); });
    }

  private:
    template <typename Call>
    void Forward(Call call) {
        if (m_target != nullptr) call(*m_target);
    }

    FrameView* m_target = nullptr;
};

}  // namespace quarto
