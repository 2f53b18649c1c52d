// The settings notebook's OK: every notebook setting whose edited copy differs from the record
// is taken over and stored at once, one value at a time in a fixed order, and its effect
// follows; then exactly one follow-up happens. UI thread only.
#pragma once

namespace quarto {

class SettingsSheetHost;
class SettingsStore;
struct Settings;

enum class SheetFollowUp { None, RedrawFrame, StartRefresh, RefillTrees };

// Compares `edited` with `current` setting by setting (numbers and colours by value, texts byte
// for byte, fonts field by field); each that differs is written through `store` (which updates
// `current`, and for IncludeHidSys the attribute mask) and has its effect: a file list's look
// is applied to it at once, the rest ask for a redraw, a refresh or, for ShowAllNetworkDrives
// while network drives are shown, a re-fill of the trees. The one follow-up is the first of
// re-fill, refresh and redraw that was asked for; it is carried out through `host` and
// returned.
SheetFollowUp ApplySettingsChanges(const Settings& edited, Settings& current, SettingsStore& store,
                                   SettingsSheetHost& host);

}  // namespace quarto
