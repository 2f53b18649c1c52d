#include "ui/SettingsApply.h"

#include <variant>

#include "app/SettingDescriptors.h"
#include "app/SettingsStore.h"
#include "ui/SettingsSheetHost.h"

namespace quarto {
namespace {

enum class Effect {
    None,
    Refresh,
    Redraw,
    LeftList,        // the left list takes its look again; redraw
    RightList,       // the same for the right list
    NetworkDrives,   // re-fill the trees while network drives are shown
    DateTimeColumn,  // both lists retitle their date column; refresh
};

struct Takeover {
    SettingMember member;
    Effect effect;
};

using S = Settings;

// The order in which changed settings are taken over and stored. IncludeHidSys also sets or
// clears the hidden and system bits of the attribute mask: the store does that with the write.
const Takeover kOrder[] = {
    {&S::CheckFileAttributes, Effect::Refresh},
    {&S::CheckByteByByte, Effect::Refresh},
    {&S::CheckDateTimes, Effect::Refresh},
    {&S::CheckDirAttributes, Effect::Refresh},
    {&S::CheckDirDateTimes, Effect::Refresh},
    {&S::CheckFileSizes, Effect::Refresh},
    {&S::CheckIgnoreCtrlZ, Effect::Refresh},
    {&S::CheckIgnoreFatNtfs2Sec, Effect::Refresh},
    {&S::ComparitorProgram, Effect::None},
    {&S::ComparitorProgramOptions, Effect::None},
    {&S::ComparitorProgram2, Effect::None},
    {&S::ComparitorProgram2Options, Effect::None},
    {&S::ConfirmCopy, Effect::None},
    {&S::ConfirmDelete, Effect::None},
    {&S::ConfirmEsc, Effect::None},
    {&S::ConfirmExit, Effect::None},
    {&S::ConfirmMove, Effect::None},
    {&S::ClrSelectedDriveText, Effect::Redraw},
    {&S::ClrSelectedDriveTextBk, Effect::Redraw},
    {&S::ClrLeftDriveBk, Effect::Redraw},
    {&S::ClrLeftDriveText, Effect::Redraw},
    {&S::ClrLeftDriveTextBk, Effect::Redraw},
    {&S::ClrRightDriveBk, Effect::Redraw},
    {&S::ClrRightDriveText, Effect::Redraw},
    {&S::ClrRightDriveTextBk, Effect::Redraw},
    {&S::EditorProgram, Effect::None},
    {&S::EditorProgramOptions, Effect::None},
    {&S::ClrSelectedFilesText, Effect::Redraw},
    {&S::ClrSelectedFilesTextBk, Effect::Redraw},
    {&S::ClrLeftFilesBk, Effect::LeftList},
    {&S::FntLeftFiles, Effect::LeftList},
    {&S::ClrLeftFilesText, Effect::LeftList},
    {&S::ClrLeftFilesTextBk, Effect::LeftList},
    {&S::ClrRightFilesBk, Effect::RightList},
    {&S::FntRightFiles, Effect::RightList},
    {&S::ClrRightFilesText, Effect::RightList},
    {&S::ClrRightFilesTextBk, Effect::RightList},
    {&S::ClrNewerFilesText, Effect::Redraw},
    {&S::ClrNewerFilesTextBk, Effect::Redraw},
    {&S::ClrOlderFilesText, Effect::Redraw},
    {&S::ClrOlderFilesTextBk, Effect::Redraw},
    {&S::ClrLargerFilesText, Effect::Redraw},
    {&S::ClrLargerFilesTextBk, Effect::Redraw},
    {&S::ClrSmallerFilesText, Effect::Redraw},
    {&S::ClrSmallerFilesTextBk, Effect::Redraw},
    {&S::ClrAttrsDiffFilesText, Effect::Redraw},
    {&S::ClrAttrsDiffFilesTextBk, Effect::Redraw},
    {&S::ClrBytesDiffFilesText, Effect::Redraw},
    {&S::ClrBytesDiffFilesTextBk, Effect::Redraw},
    {&S::IncludeMasks, Effect::Refresh},
    {&S::ExcludeMasks, Effect::Refresh},
    {&S::IncludeList, Effect::Refresh},
    {&S::MarkAllOn, Effect::None},
    {&S::ClearAllOn, Effect::None},
    {&S::DisableAutoRefresh, Effect::None},
    {&S::IgnoreFileAttributes, Effect::None},
    {&S::MoveIsCopyDelete, Effect::None},
    {&S::CopyMoveZeroLengthFiles, Effect::None},
    {&S::ScanPausePerEntry, Effect::None},  // read by each scan
    // The Actions menu keeps the Run items it got when the window was made.
    {&S::RunProgram, Effect::None},
    {&S::RunProgramUseGenCmd, Effect::None},
    {&S::RunProgramOptions, Effect::None},
    {&S::RunProgram2, Effect::None},
    {&S::RunProgram2UseGenCmd, Effect::None},
    {&S::RunProgram2Options, Effect::None},
    {&S::ShowProgress, Effect::None},
    {&S::ShowProgressInterval, Effect::None},
    {&S::ShowActivity, Effect::None},
    {&S::ShowAllNetworkDrives, Effect::NetworkDrives},
    {&S::HilightIdentical, Effect::Refresh},
    {&S::IndicateArchived, Effect::Refresh},
    {&S::IncludeHidSys, Effect::Refresh},
    {&S::UseDateTimeType, Effect::DateTimeColumn},
    // Read at the next start.
    {&S::DisplayLogo, Effect::None},
    {&S::IncludeSubdirsAtStart, Effect::None},
    {&S::IncludeNetworkAtStart, Effect::None},
};

struct FollowUps {
    bool refresh = false;
    bool refill = false;
    bool redraw = false;
};

// Stores the edited value when it differs; true when it did.
bool TakeOver(const SettingMember& member, const Settings& edited, Settings& current, SettingsStore& store) {
    return std::visit([&](auto m) { return store.WriteIfChanged(current, m, edited.*m); }, member);
}

void ApplyEffect(Effect effect, const Settings& current, SettingsSheetHost& host, FollowUps& follow) {
    switch (effect) {
        case Effect::None:
            break;
        case Effect::Refresh:
            follow.refresh = true;
            break;
        case Effect::Redraw:
            follow.redraw = true;
            break;
        case Effect::LeftList:
        case Effect::RightList:
            host.ApplyListSettings(effect == Effect::LeftList ? Side::Left : Side::Right);
            follow.redraw = true;
            break;
        case Effect::NetworkDrives:
            if (current.IncludeNetworkDrives) follow.refill = true;
            break;
        case Effect::DateTimeColumn:
            host.ApplyListSettings(Side::Left);
            host.ApplyListSettings(Side::Right);
            follow.refresh = true;
            break;
    }
}

}  // namespace

SheetFollowUp ApplySettingsChanges(const Settings& edited, Settings& current, SettingsStore& store,
                                   SettingsSheetHost& host) {
    FollowUps follow;
    for (const Takeover& takeover : kOrder)
        if (TakeOver(takeover.member, edited, current, store))
            ApplyEffect(takeover.effect, current, host, follow);
    if (follow.refill) {
        host.RefillTrees();
        return SheetFollowUp::RefillTrees;
    }
    if (follow.refresh) {
        host.StartRefresh();
        return SheetFollowUp::StartRefresh;
    }
    if (follow.redraw) {
        host.RedrawFrame();
        return SheetFollowUp::RedrawFrame;
    }
    return SheetFollowUp::None;
}

}  // namespace quarto
