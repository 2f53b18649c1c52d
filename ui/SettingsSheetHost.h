// What the settings notebook needs of the main frame to put changed settings into effect, and
// nothing more: the frame implements it, tests implement it with a recording double. An OK
// that changed anything ends in exactly one of RefillTrees, StartRefresh and RedrawFrame (the
// first that applies). UI thread only.
#pragma once

#include "core/Side.h"

namespace quarto {

class SettingsSheetHost {
  public:
    virtual ~SettingsSheetHost() = default;

    // The side's file list takes its background, font, text colours and date column title from
    // the settings record again, without repainting at once (a follow-up repaints).
    virtual void ApplyListSettings(Side side) = 0;
    // Both drive trees repeat their initial fill. No refresh follows by itself: the settings
    // that asked for one take effect at the next refresh.
    virtual void RefillTrees() = 0;
    // A refresh of both sides starts.
    virtual void StartRefresh() = 0;
    // The main frame and its panes repaint (erasing their backgrounds).
    virtual void RedrawFrame() = 0;
    // The notebook has changed the current view (FilterMode in the record, not stored) from
    // Modified to Different: the view commands' marks follow; the title follows at its next
    // update.
    virtual void CurrentViewChanged() {}
};

}  // namespace quarto
