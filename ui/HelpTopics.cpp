#include "ui/HelpTopics.h"

#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <iterator>

#include "res/CommandIds.h"

namespace quarto {
namespace {

// The property that carries an object's help id.
constexpr const char* kHelpIdProperty = "quartoHelpId";

struct TopicRow {
    int first;  // the ids first..last share the topic
    int last;
    const char* page;
    const char* anchor;
};

// Sorted by id. The settings pages open their section of the settings page; the marking
// commands the marking page; copy, move and delete (alone or after marking) the actions page.
constexpr TopicRow kTopics[] = {
    {kHelpAboutBox, kHelpAboutBox, "index.html", "about"},
    {kCmdLoadSnapshot, kCmdLoadSnapshot, "snapshots.html", "load"},
    {kCmdSaveSnapshot, kCmdSaveSnapshot, "snapshots.html", "save"},
    {kCmdIncludeNetworkDrives, kCmdIncludeNetworkDrives, "comparing.html", "network"},
    {kCmdSortDialog, kCmdSortDialog, "views.html", "sorting"},
    {kCmdExcludeUniqueLeft, kCmdExcludeUniqueRight, "comparing.html", "exclusions"},
    {kCmdSettings, kCmdSettings, "settings.html", ""},
    {kCmdIncludeSubdirectories, kCmdIncludeSubdirectories, "comparing.html", "subdirectories"},
    {kCmdGenerateCommandFile, kCmdGenerateCommandFile, "command-files.html", "generate"},
    {kCmdComparator1, kCmdRunProgram2, "actions.html", "programs"},
    {kCmdViewAll, kCmdNextView, "views.html", "views"},
    {kCmdClearAllSelections, kCmdClearBoth, "marking.html", "commands"},
    {kCmdCopySelected, kCmdMoveSelected, "actions.html", ""},
    {kCmdMarkAll, kCmdClearList, "marking.html", "commands"},
    {kCmdCopyIt, kCmdDeleteIt, "actions.html", ""},
    {kCmdInvertList, kCmdMarkAllOnly, "marking.html", "commands"},
    {kCmdAllAndCopy, kCmdAllAndMove, "actions.html", ""},
    {kCmdNewerOnlyBoth, kCmdNewerOnlyBoth, "marking.html", "commands"},
    {kCmdNewerAndCopyBoth, kCmdNewerAndMoveBoth, "actions.html", ""},
    {kCmdNewerOnly, kCmdNewerOnly, "marking.html", "commands"},
    {kCmdNewerAndCopy, kCmdNewerAndMove, "actions.html", ""},
    {kCmdUniqueOnlyBoth, kCmdUniqueOnlyBoth, "marking.html", "commands"},
    {kCmdUniqueAndCopyBoth, kCmdUniqueAndMoveBoth, "actions.html", ""},
    {kCmdUniqueOnly, kCmdUniqueOnly, "marking.html", "commands"},
    {kCmdUniqueAndCopy, kCmdMoveIt, "actions.html", ""},
    {kCmdStatistics, kCmdStatistics, "comparing.html", "statistics"},
    {kCmdRefresh, kCmdRefresh, "comparing.html", "trees"},
    {kHelpSettingsSheet, kHelpSettingsSheet, "settings.html", ""},
    {12010, 12010, "settings.html", "filters"},
    {kHelpStatistics, kHelpStatistics, "comparing.html", "statistics"},
    {12030, 12030, "settings.html", "mark-clear"},
    {12040, 12040, "settings.html", "editor"},
    {12050, 12050, "settings.html", "comparitors"},
    {12100, 12100, "settings.html", "run-programs"},
    {kHelpSortDialog, kHelpSortDialog, "views.html", "sorting"},
    {12130, 12130, "settings.html", "check"},
    {12140, 12140, "settings.html", "confirmations"},
    {12160, 12160, "settings.html", "miscellaneous"},
    {12170, 12170, "settings.html", "show"},
    {12180, 12180, "settings.html", "startup"},
    {kHelpProgressDialog, kHelpProgressDialog, "comparing.html", "progress"},
    {12220, 12220, "settings.html", "files-colors"},
    {12230, 12230, "settings.html", "drive-colors"},
    {kCmdSplit, kCmdSplit, "index.html", "window"},
    {kCmdAbout, kCmdAbout, "index.html", "about"},
    {kCmdExit, kCmdExit, "index.html", "window"},
    {kCmdHelpIndex, kCmdHelpTopics, "index.html", "help"},
    {kCmdContextHelp, kCmdHelp, "index.html", "help"},
    {kCmdToolbar, kCmdStatusBar, "index.html", "window"},
    {kHelpMainWindow, kHelpMainWindow, "index.html", "window"},
    {kHelpDriveTree, kHelpDriveTree, "comparing.html", "trees"},
    {kHelpFileList, kHelpFileList, "views.html", "lists"},
    {kHelpToolbar, kHelpStatusBar, "index.html", "window"},
};

static_assert(std::is_sorted(std::begin(kTopics), std::end(kTopics),
                             [](const TopicRow& a, const TopicRow& b) { return a.last < b.first; }),
              "help topics must stay sorted by id, without overlaps");

}  // namespace

HelpTopic HelpTopicFor(int helpId) {
    const auto* row = std::lower_bound(std::begin(kTopics), std::end(kTopics), helpId,
                                       [](const TopicRow& r, int id) { return r.last < id; });
    if (row == std::end(kTopics) || helpId < row->first) return ContentsTopic();
    return {QString::fromLatin1(row->page), QString::fromLatin1(row->anchor)};
}

HelpTopic ContentsTopic() {
    return {QStringLiteral("index.html"), QString()};
}

HelpTopic IndexTopic() {
    return {QStringLiteral("index.html"), QStringLiteral("contents")};
}

void SetHelpId(QObject* object, int helpId) {
    object->setProperty(kHelpIdProperty, helpId);
}

int HelpIdOf(const QObject* object) {
    return object != nullptr ? object->property(kHelpIdProperty).toInt() : 0;
}

HelpTopic HelpTopicForWidget(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
        if (const int id = HelpIdOf(w)) return HelpTopicFor(id);
    return HelpTopicFor(kHelpMainWindow);
}

}  // namespace quarto
