// The frame's message handling is made before the window: it talks to a relay, which passes
// every call on to the window once the window has registered itself. UI thread only.
#pragma once

#include "ops/FrameView.h"

namespace quarto {

class FrameViewRelay final : public FrameView {
  public:
    void SetTarget(FrameView* target) { m_target = target; }

    void CreateProgressDialog() override {
        if (m_target) m_target->CreateProgressDialog();
    }
    void DestroyProgressDialog() override {
        if (m_target) m_target->DestroyProgressDialog();
    }
    void SetWaitCursor(bool on) override {
        if (m_target) m_target->SetWaitCursor(on);
    }
    void UpdateTitle() override {
        if (m_target) m_target->UpdateTitle();
    }
    void InvalidateStatistics() override {
        if (m_target) m_target->InvalidateStatistics();
    }
    void ClearTreeSelection(Side side) override {
        if (m_target) m_target->ClearTreeSelection(side);
    }
    void ShowAboutBox(int& splashTimeLeft) override {
        if (m_target) m_target->ShowAboutBox(splashTimeLeft);
    }
    void RequestClose() override {
        if (m_target) m_target->RequestClose();
    }
    void RefreshFinished(bool cancelled) override {
        if (m_target) m_target->RefreshFinished(cancelled);
    }

  private:
    FrameView* m_target = nullptr;
};

}  // namespace quarto
