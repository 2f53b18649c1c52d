// The string table itself. Kept sorted by number so lookups are a binary search.
#include "res/StringTable.h"

#include <algorithm>
#include <iterator>

namespace quarto::res {
namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kTable[] = {
    // Commands: the prompt, a line break, the tool tip.
    {2008, "Load a snapshot from a file\nLoad snapshot"},
    {2010, "Save a snapshot of a dir to a file\nSave snapshot"},
    {2050, "Include network connected drives\nInclude network drives"},
    {2052, "Set the Left Alternate directory\nLeft Alternate"},
    {2054, "Set the Right Alternate directory\nRight Alternate"},
    {2080, "Change the Sort order\nSort"},
    {2122, "Exclude Unique files on Left\nExclude Left Unique"},
    {2123, "Exclude Unique files on Right\nExclude Right Unique"},
    {2202, "Show Settings notebook\nSettings"},
    {2220, "Include subdirectories with files\nInclude Subdirs"},
    {2222, "Generate a '.CMD' file\nGenerate .CMD file"},
    {6016, "Show All files\nView All"},
    {6017, "Show Similar files\nView Similar"},
    {6018, "Show Identical files\nView Identical"},
    {6019, "Show Unique files\nView Unique"},
    {6020, "Show Modified files\nView Modified"},
    {6021, "Show Different files\nView Different"},
    {7000, "Clear all selections\nClear all selections"},
    {7004, "Copy all selected files\nCopy selected files"},
    {7005, "Delete all selected files\nDelete selected files"},
    {7006, "Move all selected files\nMove selected files"},
    {7007, "Mark all\nMark all"},
    {8036, "Show the Statistics dialog\nStatistics"},
    {8038, "Refresh the directories\nRefresh"},
    {16000, "De-selecting all container entries"},
    {16001, "Deleting files"},
    {16002, "Processing directories"},
    {16003, "Copying files"},
    {16004, "Filling lists"},
    {16005, "Freeing memory"},
    {16006, "Loading a snapshot"},
    {16007, "Selecting all entries"},
    {16008, "Selecting newer entries"},
    {16009, "Selecting unique entries"},
    {16010, "Inverting selection markings"},
    {16011, "Moving files"},
    {16012, "Saving a snapshot"},
    {16013, "Processing drives"},
    {16014, "Canceling..."},
    // The engine's questions, captions and reports.
    {kConfirmCancel, "Do you really want to cancel the operation in progress?"},
    {kProcessedEntries, "Processed %1 entries"},
    {kPathNotFound, "Path '%1' not found; defaulting to '%2'"},
    {kAboutToActOnFiles, "About to %1 %2 files..."},
    {kAboutToActOnRow, "About to %1 '%2'..."},
    {kAndDirectories, "and %1 directories..."},
    {kVerbCopy, "copy"},
    {kVerbDelete, "delete"},
    {kVerbMove, "move"},
    {kConfirmCaption, "%1 - Confirm"},
    {kDisplayEventCaption, "%1 Display Event"},
    {kCannotStartOperation, "Unable to start the operation"},
    {kCannotStartRefresh, "Unable to start the refresh"},
    {kCannotCreatePath, "Unable to create the path for %1!"},
    {kFolderNotEmpty, "Unable to delete %1 - directory not empty!"},
    {kNotAbsolute, "Unable to act on %1 - %2 is not an absolute path!"},
    {kNotInside, "Unable to act on %1 - it is not inside %2!"},
    {kCannotWriteCommandFile, "Unable to write the command file %1 - %2"},
    {kCannotOpenInUse, "Unable to open %1; may be in use"},
    // The views' words in the window title, for 6016..6021.
    {kViewWords + 0, "All"},
    {kViewWords + 1, "Similar"},
    {kViewWords + 2, "Identical"},
    {kViewWords + 3, "Unique"},
    {kViewWords + 4, "Modified"},
    {kViewWords + 5, "Different"},
    // The two toolbar buttons of the framework's commands.
    {57664, "Show the program's version and copyright\nAbout"},
    {57669, "Show help for the button, menu or window clicked next\nHelp"},
};

static_assert(std::is_sorted(std::begin(kTable), std::end(kTable),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }),
              "the string table must stay sorted by number");

}  // namespace

const char* Text(int id) {
    const auto* it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                                      [](const Entry& e, int wanted) { return e.id < wanted; });
    return (it != std::end(kTable) && it->id == id) ? it->text : "";
}

std::string Format(int id, std::initializer_list<std::string_view> values) {
    const std::string_view text = Text(id);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] != '%' || next < '1' || next > '9') {
            out += text[i];
            continue;
        }
        ++i;
        const size_t n = static_cast<size_t>(next - '1');
        if (n < values.size()) out += *(values.begin() + n);
    }
    return out;
}

}  // namespace quarto::res
