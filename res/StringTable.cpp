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

}  // namespace quarto::res
